#include "workbook/Dates.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace vtl::workbook {

namespace {

using namespace std::chrono;

constexpr sys_days kDayZero = sys_days(year(1899) / December / 30);
// Serial dates up to 1900-02-28 count one day more than the calendar: Excel keeps a 1900-02-29.
constexpr int64_t kFirstTrueSerial = 61;
constexpr int64_t kSecondsPerDay = 86400;

bool isDateCode(char c) {
    return std::string_view("dDmMyYhHsS").find(c) != std::string_view::npos;
}

// "[h]", "[mm]", "[ss]": elapsed time; any other bracketed text is a colour, condition or locale.
bool isElapsedTime(std::string_view inside) {
    if (inside.empty()) return false;
    const char first = static_cast<char>(inside.front() | 0x20);
    if (first != 'h' && first != 'm' && first != 's') return false;
    for (char c : inside) {
        if (static_cast<char>(c | 0x20) != first) return false;
    }
    return true;
}

std::string twoDigits(int64_t n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(n));
    return buffer;
}

}  // namespace

bool isDateFormat(std::string_view code) {
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) return false;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // an escaped character, a blank as wide as it, a fill with it
        } else if (c == '[') {
            const size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos) return false;
            if (isElapsedTime(code.substr(i + 1, close - i - 1))) return true;
            i = close;
        } else if (isDateCode(c)) {
            return true;
        }
    }
    return false;
}

std::optional<double> dateOf(const Cell& cell) {
    if (cell.type != Cell::Type::Number || cell.number < 0 || cell.number >= kLastSerialDate ||
        !isDateFormat(cell.numberFormat)) {
        return std::nullopt;
    }
    return cell.number;
}

std::string dateText(double serial) {
    const double whole = std::floor(serial);
    int64_t day = static_cast<int64_t>(whole);
    int64_t second = std::llround((serial - whole) * kSecondsPerDay);
    if (second >= kSecondsPerDay) ++day, second -= kSecondsPerDay;
    const std::string time =
        twoDigits(second / 3600) + ":" + twoDigits(second / 60 % 60) + ":" + twoDigits(second % 60);
    if (day == 0) return time;
    const year_month_day date(kDayZero + days(day < kFirstTrueSerial ? day + 1 : day));
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return second == 0 ? std::string(buffer) : std::string(buffer) + " " + time;
}

std::optional<double> serialOfText(std::string_view text) {
    std::string s(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0, used = 0;
    int64_t day = 0;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used) == 3) {
        const year_month_day date(year(y), month(static_cast<unsigned>(mo)),
                                  std::chrono::day(static_cast<unsigned>(d)));
        if (!date.ok()) return std::nullopt;
        day = (sys_days(date) - kDayZero).count();
        if (day < 1) return std::nullopt;
        if (day < kFirstTrueSerial) --day;
        if (static_cast<size_t>(used) == s.size()) return static_cast<double>(day);
        if (s[static_cast<size_t>(used)] != ' ') return std::nullopt;
        s.erase(0, static_cast<size_t>(used) + 1);
    }
    if (std::sscanf(s.c_str(), "%2d:%2d:%2d%n", &h, &mi, &se, &used) != 3 ||
        static_cast<size_t>(used) != s.size() || h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0 ||
        se < 0) {
        return std::nullopt;
    }
    return static_cast<double>(day) + static_cast<double>(h * 3600 + mi * 60 + se) / kSecondsPerDay;
}

}  // namespace vtl::workbook
