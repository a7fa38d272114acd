#pragma once
// Little-endian loads and stores: packet values and binary packets keep every
// number little-endian whatever the machine.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace byteorder {

template <class T>
T Load(const char* p) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    U value = 0;
    // The byte loop is the meaning; on a little-endian machine it is one copy.
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, p, sizeof value);
    } else {
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<U>(static_cast<U>(static_cast<unsigned char>(p[i])) << (8 * i));
    }
    return static_cast<T>(value);
}

template <class T>
void Store(char* p, T value) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    const U bits = static_cast<U>(value);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &bits, sizeof bits);
    } else {
        for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

// Out is std::string or PacketBuffer.
template <class T, class Out>
void Append(Out& out, T value) {
    char bytes[sizeof(T)];
    Store(bytes, value);
    out.append(bytes, sizeof(T));
}

// An unsigned little-endian number of 1, 2, 4 or 8 bytes.
inline std::uint64_t LoadUnsigned(const char* p, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size && i < 8; ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return value;
}

// The same, sign-extended from its size.
inline std::int64_t LoadSigned(const char* p, std::size_t size) {
    const std::uint64_t value = LoadUnsigned(p, size);
    if (size == 0 || size >= 8) return static_cast<std::int64_t>(value);
    const std::uint64_t sign = std::uint64_t{1} << (8 * size - 1);
    return static_cast<std::int64_t>((value ^ sign) - sign);
}

// The low `size` bytes of value.
template <class Out>
void AppendSized(Out& out, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) out.push_back(static_cast<char>(i < 8 ? (value >> (8 * i)) & 0xFF : 0));
}

inline double LoadDouble(const char* p) {
    const std::uint64_t bits = Load<std::uint64_t>(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <class Out>
void AppendDouble(Out& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Append(out, bits);
}

}  // namespace byteorder
