#include "packet/Calendar.h"

namespace {

// Days since 1 January 1970; the era arithmetic keeps negative years exact.
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr std::int64_t kDayOneFrom1970 = DaysFromCivil(1, 1, 1);

}  // namespace

CivilDate DateFromDays(std::int64_t days) {
    const std::int64_t z = days - 1 + kDayOneFrom1970 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CivilDate date;
    date.Day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    date.Month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    date.Year = yoe + era * 400 + (date.Month <= 2);
    return date;
}

std::int64_t DaysFromDate(const CivilDate& date) {
    return DaysFromCivil(date.Year, date.Month, date.Day) - kDayOneFrom1970 + 1;
}

bool IsValidDate(const CivilDate& date) {
    if (date.Month < 1 || date.Month > 12 || date.Day < 1) return false;
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (date.Year % 4 == 0 && date.Year % 100 != 0) || date.Year % 400 == 0;
    const unsigned last = kDays[date.Month - 1] + (date.Month == 2 && leap ? 1 : 0);
    return date.Day <= last;
}
