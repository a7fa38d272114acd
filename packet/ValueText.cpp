#include "packet/ValueText.h"

#include "packet/Base64.h"
#include "packet/BcdText.h"
#include "packet/ByteOrder.h"
#include "packet/Calendar.h"
#include "packet/PacketStatus.h"
#include "packet/XmlText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

using namespace coltype;

template <class T>
void AppendNumber(PacketBuffer& out, T value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, static_cast<std::size_t>(result.ptr - text));
}

void AppendDigits(PacketBuffer& out, std::int64_t value, int width) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(value));
    out.append(text, static_cast<std::size_t>(n));
}

void AppendDateText(PacketBuffer& out, std::int64_t days) {
    const CivilDate date = DateFromDays(days);
    AppendDigits(out, date.Year, 4);
    AppendDigits(out, date.Month, 2);
    AppendDigits(out, date.Day, 2);
}

// "hh:mm:sssss", the last part counting milliseconds.
void AppendClockText(PacketBuffer& out, std::int64_t hours, std::int64_t minutes, std::int64_t milliseconds) {
    AppendDigits(out, hours, 2);
    out.push_back(':');
    AppendDigits(out, minutes, 2);
    out.push_back(':');
    AppendDigits(out, milliseconds, 5);
}

void AppendTimeText(PacketBuffer& out, std::int64_t ms) {
    AppendClockText(out, ms / 3'600'000, ms / 60'000 % 60, ms % 60'000);
}

void AppendIntegerElement(PacketBuffer& out, unsigned code, std::string_view bytes) {
    // 16-bit elements are written as signed whatever the array's own type.
    if (code == cInteger || bytes.size() == 2) AppendNumber(out, byteorder::LoadSigned(bytes.data(), bytes.size()));
    else AppendNumber(out, byteorder::LoadUnsigned(bytes.data(), bytes.size()));
}

void AppendArrayText(PacketBuffer& out, ColumnType type, std::string_view value) {
    const std::size_t size = Size(type);
    const std::uint32_t count = byteorder::Load<std::uint32_t>(value.data());
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i) out.push_back(' ');
        AppendIntegerElement(out, TypeCode(type), value.substr(4 + i * size, size));
    }
}

void AppendDoubleText(PacketBuffer& out, double value) {
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 16);
    out.append(text, static_cast<std::size_t>(result.ptr - text));
}

// How many bytes the text form of a fixed value reads, whatever its type claims.
std::size_t FixedBytesRead(ColumnType type) {
    switch (TypeCode(type)) {
        case cDate:
        case cTime: return 4;
        case cFloat:
        case cDateTime: return 8;
        case cSqlTimeStamp: return 16;
        default: return 0;
    }
}

bool AppendValue(std::string& out, ColumnType type, std::string_view raw, bool utf8);

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ReadDateText(std::string_view text, CivilDate& date) {
    std::int64_t year, month, day;
    if (text.size() < 5 || !ReadPlainDigits(text.substr(0, text.size() - 4), year) ||
        !ReadPlainDigits(text.substr(text.size() - 4, 2), month) || !ReadPlainDigits(text.substr(text.size() - 2), day))
        return false;
    date = {year, static_cast<unsigned>(month), static_cast<unsigned>(day)};
    return IsValidDate(date);
}

struct Clock {
    std::int64_t Hours = 0, Minutes = 0, Milliseconds = 0;
};

bool ReadClockText(std::string_view text, Clock& clock) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    return second != std::string_view::npos && ReadPlainDigits(text.substr(0, first), clock.Hours) &&
           ReadPlainDigits(text.substr(first + 1, second - first - 1), clock.Minutes) &&
           ReadPlainDigits(text.substr(second + 1), clock.Milliseconds);
}

std::int64_t ClockMilliseconds(const Clock& clock) {
    return clock.Hours * 3'600'000 + clock.Minutes * 60'000 + clock.Milliseconds;
}

// "date" or "dateTClock"; a missing time part is midnight.
bool ReadDateTimeText(std::string_view text, CivilDate& date, Clock& clock) {
    const std::size_t t = text.find('T');
    clock = {};
    if (t != std::string_view::npos && !ReadClockText(text.substr(t + 1), clock)) return false;
    return ReadDateText(text.substr(0, t), date);
}

bool ReadDoubleText(std::string_view raw, double& value) {
    std::int64_t ignored;
    if (!ReadIntegerText(raw, ignored)) return false;
    std::size_t i = 0;
    while (i < raw.size() && raw[i] >= 1 && raw[i] <= 32) ++i;
    if (i < raw.size() && raw[i] == '+') ++i;
    value = 0;
    std::from_chars(raw.data() + i, raw.data() + raw.size(), value);
    return true;
}

void AppendBoolean(std::string& out, bool value, std::size_t size) {
    byteorder::AppendSized(out, value ? 1 : 0, size);
}

void AppendIntegerArray(std::string& out, ColumnType type, std::string_view raw) {
    const std::size_t countAt = out.size();
    byteorder::Append<std::uint32_t>(out, 0);
    std::uint32_t count = 0;
    std::size_t i = 0;
    while (i < raw.size()) {
        while (i < raw.size() && raw[i] >= 1 && raw[i] <= 32) ++i;
        const std::size_t start = i;
        while (i < raw.size() && !(raw[i] >= 1 && raw[i] <= 32)) ++i;
        if (i == start) break;
        std::int64_t element = 0;
        if (!ReadIntegerText(raw.substr(start, i - start), element)) element = 0;
        byteorder::AppendSized(out, static_cast<std::uint64_t>(element), Size(type));
        ++count;
    }
    byteorder::Store(out.data() + countAt, count);
}

}  // namespace

pkt::Status AppendValueText(PacketBuffer& out, ColumnType type, std::string_view value, bool utf8) {
    // Texts, most of a catalogue's values, first: every type of theirs has a
    // name and reads no fixed bytes.
    if (TypeCode(type) == cString && IsVarying(type)) {
        AppendEscaped(out, value, utf8 ? HighBytes::Utf8 : HighBytes::Reference);
        return pkt::Ok;
    }
    // Then keys and disc numbers, as AppendIntegerElement would write them.
    if (type == coltype::Int32 && value.size() == 4) {
        AppendNumber(out, byteorder::Load<std::int32_t>(value.data()));
        return pkt::Ok;
    }
    std::string_view name;
    if (const pkt::Status status = FieldTypeName(type, name)) return status;
    if (value.size() < FixedBytesRead(type)) return pkt::BufferTooSmall;
    const char* p = value.data();
    switch (TypeCode(type)) {
        case cInteger:
        case cUnsigned:
            if (IsArray(type)) AppendArrayText(out, type, value);
            else AppendIntegerElement(out, TypeCode(type), value);
            break;
        case cBoolean: {
            const bool set = byteorder::LoadUnsigned(p, value.size()) != 0;
            out += set ? "TRUE" : "FALSE";
            break;
        }
        case cFloat: AppendDoubleText(out, byteorder::LoadDouble(p)); break;
        case cBcd:
        case cBcdFormatted: AppendBcdText(out, value); break;
        case cDate: AppendDateText(out, byteorder::Load<std::int32_t>(p)); break;
        case cTime: AppendTimeText(out, byteorder::Load<std::int32_t>(p)); break;
        case cDateTime: {
            const double ms = std::round(byteorder::LoadDouble(p));
            if (!std::isfinite(ms) || std::fabs(ms) > 9.0e15) return pkt::BufferTooSmall;
            const auto whole = static_cast<std::int64_t>(ms);
            std::int64_t days = whole / kMillisecondsPerDay;
            std::int64_t time = whole % kMillisecondsPerDay;
            if (time < 0) time += kMillisecondsPerDay, --days;
            AppendDateText(out, days);
            if (time) {
                out.push_back('T');
                AppendTimeText(out, time);
            }
            break;
        }
        case cSqlTimeStamp: {
            AppendDigits(out, byteorder::Load<std::int16_t>(p), 4);
            AppendDigits(out, byteorder::Load<std::uint16_t>(p + 2), 2);
            AppendDigits(out, byteorder::Load<std::uint16_t>(p + 4), 2);
            const auto hour = byteorder::Load<std::uint16_t>(p + 6);
            const auto minute = byteorder::Load<std::uint16_t>(p + 8);
            const auto second = byteorder::Load<std::uint16_t>(p + 10);
            if (hour || minute || second) {
                out.push_back('T');
                AppendClockText(out, hour, minute, second * 1000 + std::int64_t{byteorder::Load<std::uint32_t>(p + 12)});
            }
            break;
        }
        case cString: {
            // A fixed-length string ends at its first zero byte.
            const void* zero = value.empty() ? nullptr : std::memchr(p, '\0', value.size());
            const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - p) : value.size();
            AppendEscaped(out, value.substr(0, length), HighBytes::Raw);
            break;
        }
        case cWideString: AppendEscapedWide(out, p, value.size() / 2, utf8); break;
        case cBytes: AppendBase64(out, value); break;
        default: return pkt::NoTypeName;
    }
    return pkt::Ok;
}

bool AppendValueFromText(std::string& out, ColumnType type, std::string_view raw, bool utf8) {
    const std::size_t start = out.size();
    if (!AppendValue(out, type, raw, utf8)) return false;
    // A fixed value always has exactly its type's size.
    if (!IsVarying(type) && !IsArray(type)) out.resize(start + Size(type), '\0');
    return true;
}

namespace {

// A number beyond the range of a type narrower than 64 bits is as unreadable
// as a text without digits: its low bits alone would be an unrelated number.
bool FitsType(std::int64_t value, bool isUnsigned, std::size_t size) {
    if (size == 0 || size >= 8) return true;
    const int bits = static_cast<int>(size) * 8;
    const std::int64_t low = isUnsigned ? 0 : -(std::int64_t{1} << (bits - 1));
    const std::int64_t high = (std::int64_t{1} << (isUnsigned ? bits : bits - 1)) - 1;
    return value >= low && value <= high;
}

bool AppendValue(std::string& out, ColumnType type, std::string_view raw, bool utf8) {
    const std::size_t size = Size(type);
    switch (TypeCode(type)) {
        case cInteger:
        case cUnsigned: {
            if (IsArray(type)) {
                AppendIntegerArray(out, type, raw);
                return true;
            }
            std::int64_t value;
            if (!ReadIntegerText(raw, value) || !FitsType(value, TypeCode(type) == cUnsigned, size)) return false;
            byteorder::AppendSized(out, static_cast<std::uint64_t>(value), size);
            return true;
        }
        case cBoolean:
            if (raw.empty()) return false;
            if (raw[0] == 'T' || raw[0] == 't') AppendBoolean(out, true, size);
            else if (raw[0] == 'F' || raw[0] == 'f') AppendBoolean(out, false, size);
            else return false;
            return true;
        case cFloat: {
            double value;
            if (!ReadDoubleText(raw, value)) return false;
            if (size == 8) {
                byteorder::AppendDouble(out, value);
            } else {
                static_assert(std::numeric_limits<long double>::digits == 64, "r10 needs the 80-bit format");
                const long double extended = value;
                char bytes[sizeof(long double)];
                std::memcpy(bytes, &extended, sizeof bytes);
                out.append(bytes, std::min<std::size_t>(size, 10));
                out.append(size > 10 ? size - 10 : 0, '\0');
            }
            return true;
        }
        case cBcd:
        case cBcdFormatted: return AppendBcdFromText(out, raw, size);
        case cDate: {
            CivilDate date;
            if (!ReadDateText(raw, date)) return false;
            byteorder::Append(out, static_cast<std::int32_t>(DaysFromDate(date)));
            return true;
        }
        case cTime: {
            Clock clock;
            if (!ReadClockText(raw, clock)) return false;
            byteorder::Append(out, static_cast<std::int32_t>(ClockMilliseconds(clock)));
            return true;
        }
        case cDateTime: {
            CivilDate date;
            Clock clock;
            if (!ReadDateTimeText(raw, date, clock)) return false;
            byteorder::AppendDouble(out, static_cast<double>(DaysFromDate(date) * kMillisecondsPerDay +
                                                             ClockMilliseconds(clock)));
            return true;
        }
        case cSqlTimeStamp: {
            CivilDate date;
            Clock clock;
            if (!ReadDateTimeText(raw, date, clock)) return false;
            byteorder::Append(out, static_cast<std::int16_t>(date.Year));
            for (const std::int64_t part : {std::int64_t{date.Month}, std::int64_t{date.Day}, clock.Hours,
                                            clock.Minutes, clock.Milliseconds / 1000})
                byteorder::Append(out, static_cast<std::uint16_t>(part));
            byteorder::Append(out, static_cast<std::uint32_t>(clock.Milliseconds % 1000));
            return true;
        }
        case cString: AppendDecoded(out, raw, utf8); return true;
        case cWideString: AppendDecodedWide(out, raw, utf8); return true;
        case cBytes: AppendBase64Decoded(out, raw); return true;
        default: AppendDecoded(out, raw, utf8); return true;
    }
}

}  // namespace

bool ReadIntegerText(std::string_view raw, std::int64_t& value) {
    bool valid = false;
    for (const char c : raw) {
        if (IsDigit(c)) {
            valid = true;
            break;
        }
        if (IsLetter(c)) return false;
    }
    if (!valid) return false;
    std::size_t i = 0;
    while (i < raw.size() && (raw[i] == ' ' || (raw[i] >= '\t' && raw[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < raw.size() && (raw[i] == '-' || raw[i] == '+')) negative = raw[i++] == '-';
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
    for (; i < raw.size() && IsDigit(raw[i]); ++i)
        magnitude = magnitude > kLimit / 10 ? kLimit : std::min(kLimit, magnitude * 10 + static_cast<unsigned>(raw[i] - '0'));
    if (negative) value = magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    else value = magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
    return true;
}
