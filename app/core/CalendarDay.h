#pragma once
// Calendar days as loans keep them: "YYYY-MM-DD" in the loans file and on the
// command line, "3. 12. 2026" before the user. A day has no time of day and no
// zone; "today" is the local calendar's.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

using CalendarDay = std::chrono::year_month_day;

// Exactly "YYYY-MM-DD" naming a day that exists (no 2026-02-30); nothing otherwise.
std::optional<CalendarDay> ParseIsoDay(std::string_view text);
std::string IsoDay(CalendarDay day);
// "3. 12. 2026": day and month without leading zeros, each followed by ". ".
std::string CzechDay(CalendarDay day);
CalendarDay Today();
// Whole days from since to until; negative when since is later.
int DaysBetween(CalendarDay since, CalendarDay until);
