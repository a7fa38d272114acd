#include "app/core/CalendarDay.h"

#include <cctype>
#include <cstdio>
#include <ctime>

std::optional<CalendarDay> ParseIsoDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    }
    const CalendarDay day{std::chrono::year(parts[0]), std::chrono::month(static_cast<unsigned>(parts[1])),
                          std::chrono::day(static_cast<unsigned>(parts[2]))};
    if (!day.ok()) return std::nullopt;
    return day;
}

std::string IsoDay(CalendarDay day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return text;
}

std::string CzechDay(CalendarDay day) {
    return std::to_string(static_cast<unsigned>(day.day())) + ". " +
           std::to_string(static_cast<unsigned>(day.month())) + ". " + std::to_string(static_cast<int>(day.year()));
}

CalendarDay Today() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    return CalendarDay{std::chrono::year(parts.tm_year + 1900), std::chrono::month(static_cast<unsigned>(parts.tm_mon + 1)),
                       std::chrono::day(static_cast<unsigned>(parts.tm_mday))};
}

int DaysBetween(CalendarDay since, CalendarDay until) {
    return static_cast<int>((std::chrono::sys_days(until) - std::chrono::sys_days(since)).count());
}
