#pragma once
// The packet's calendar: a date is a count of days in the proleptic Gregorian
// calendar with 1 for 1 January of year 1; a time of day is a count of
// milliseconds; a date and time is (days * 86 400 000 + milliseconds) as a double.
#include <cstdint>

struct CivilDate {
    std::int64_t Year = 1;
    unsigned Month = 1;
    unsigned Day = 1;
};

inline constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

CivilDate DateFromDays(std::int64_t days);
std::int64_t DaysFromDate(const CivilDate& date);
// False for a month or day that does not exist.
bool IsValidDate(const CivilDate& date);
