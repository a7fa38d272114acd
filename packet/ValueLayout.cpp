#include "packet/ValueLayout.h"

#include "packet/ByteOrder.h"

namespace valuelayout {

namespace {

bool IsPrefixSize(unsigned size) { return size == 1 || size == 2 || size == 4; }

}  // namespace

bool IsSupported(ColumnType type) {
    type = coltype::Plain(type);
    if (type & (coltype::Composite | coltype::Embedded)) return false;
    const unsigned size = coltype::Size(type);
    if (coltype::IsVarying(type)) return !coltype::IsArray(type) && IsPrefixSize(size);
    if (coltype::IsArray(type)) return size > 0;
    return true;
}

bool TakeParamValue(ColumnType type, std::string_view bytes, std::string_view& whole,
                    std::string_view& payload) {
    const std::size_t size = coltype::Size(type);
    std::size_t prefix = 0;
    std::uint64_t length = size;
    if (coltype::IsVarying(type)) {
        prefix = size;
        if (bytes.size() < prefix) return false;
        length = byteorder::LoadUnsigned(bytes.data(), prefix);
    } else if (coltype::IsArray(type)) {
        if (bytes.size() < 4) return false;
        length = 4 + std::uint64_t{byteorder::Load<std::uint32_t>(bytes.data())} * size;
    }
    if (length > bytes.size() - prefix) return false;
    whole = bytes.substr(0, prefix + static_cast<std::size_t>(length));
    payload = whole.substr(prefix);
    return true;
}

bool TakeRowValue(ColumnType type, std::string_view bytes, std::string_view& value) {
    if (coltype::IsVarying(type)) {
        value = bytes;
        return true;
    }
    std::string_view whole;
    return TakeParamValue(type, bytes, whole, value);
}

bool FitsPrefix(ColumnType type, std::size_t length) {
    switch (coltype::Size(type)) {
        case 1: return length <= 0xFF;
        case 2: return length <= 0xFFFF;
        default: return length <= 0xFFFFFFFFu;
    }
}

}  // namespace valuelayout
