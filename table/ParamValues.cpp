#include "table/ParamValues.h"

namespace paramvalue {
namespace {

std::uint64_t LittleEndian(std::string_view bytes) {
    std::uint64_t number = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) number = (number << 8) | static_cast<unsigned char>(bytes[i]);
    return number;
}

std::int64_t SignExtended(std::uint64_t number, std::size_t size, bool isSigned) {
    if (!isSigned || size >= 8) return static_cast<std::int64_t>(number);
    const std::uint64_t sign = std::uint64_t{1} << (size * 8 - 1);
    return static_cast<std::int64_t>((number ^ sign) - sign);
}

void AppendLittleEndian(std::string& out, std::uint64_t number, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) out += static_cast<char>((number >> (8 * i)) & 0xFF);
}

bool IsIntegerCode(unsigned code) { return code == coltype::cInteger || code == coltype::cUnsigned; }

}  // namespace

std::optional<std::int64_t> Integer(ColumnType type, std::string_view value) {
    const std::size_t size = coltype::Size(type);
    if (!IsIntegerCode(coltype::TypeCode(type)) || coltype::IsVarying(type) || coltype::IsArray(type)) return {};
    if ((size != 1 && size != 2 && size != 4 && size != 8) || value.size() < size) return {};
    return SignExtended(LittleEndian(value.substr(0, size)), size, coltype::TypeCode(type) == coltype::cInteger);
}

std::optional<std::string_view> Text(ColumnType type, std::string_view value) {
    const std::size_t prefix = coltype::Size(type);
    if (coltype::TypeCode(type) != coltype::cString || !coltype::IsVarying(type)) return {};
    if ((prefix != 1 && prefix != 2 && prefix != 4) || value.size() < prefix) return {};
    const std::uint64_t length = LittleEndian(value.substr(0, prefix));
    if (length > value.size() - prefix) return {};
    std::string_view text = value.substr(prefix, static_cast<std::size_t>(length));
    return text.substr(0, text.find('\0'));
}

std::optional<std::vector<std::uint32_t>> IntegerArray(ColumnType type, std::string_view value) {
    const std::size_t size = coltype::Size(type);
    if (!coltype::IsArray(type) || !IsIntegerCode(coltype::TypeCode(type))) return {};
    if ((size != 1 && size != 2 && size != 4) || value.size() < 4) return {};
    const std::uint64_t count = LittleEndian(value.substr(0, 4));
    if (count > (value.size() - 4) / size) return {};
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < count; ++i)
        numbers.push_back(static_cast<std::uint32_t>(LittleEndian(value.substr(4 + i * size, size))));
    return numbers;
}

std::string Int16(std::int16_t number) {
    std::string out;
    AppendLittleEndian(out, static_cast<std::uint16_t>(number), 2);
    return out;
}

std::string Int32(std::int32_t number) {
    std::string out;
    AppendLittleEndian(out, static_cast<std::uint32_t>(number), 4);
    return out;
}

std::string ShortText(std::string_view text) {
    text = text.substr(0, 255);
    std::string out(1, static_cast<char>(text.size()));
    out += text;
    return out;
}

std::string UInt16Array(const std::vector<std::uint16_t>& numbers) {
    std::string out;
    AppendLittleEndian(out, numbers.size(), 4);
    for (const auto number : numbers) AppendLittleEndian(out, number, 2);
    return out;
}

}  // namespace paramvalue
