// Date/time label texts: civil dates, clock texts of durations, the date
// pattern language and the date-line pattern.
#include "scale/ticks.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace kurvo {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Day number of 1 January 1970, the origin of the civil-date arithmetic.
constexpr std::int64_t kDay1970 = 25569;

// Day numbers beyond this are not formatted: their milliseconds would no
// longer be exact in a double.
constexpr double kMaxFormattedDays = 1e8;

// Values closer to zero than this are shown as day 0, 00:00.
constexpr double kZeroSnap = 1e-8;

// Floor division and non-negative remainder.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

void AppendNumber(std::string& out, long long value, int minDigits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", minDigits, value);
    out += buf;
}

bool StartsWith(const std::string& s, std::size_t pos, const char* token)
{
    return s.compare(pos, std::char_traits<char>::length(token), token) == 0;
}

// Whether the pattern has an am/pm token outside its quoted text.
bool HasAmPm(const std::string& pattern)
{
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && StartsWith(pattern, i, "am/pm")) return true;
    }
    return false;
}

}  // namespace

// --- civil dates

// Days-from-civil over 400-year eras (146097 days each), with March as the
// first month so that the leap day ends the year.
std::int64_t DayNumber(int year, int month, int day)
{
    std::int64_t y = year;
    std::int64_t m = month - 1;
    y += FloorDiv(m, 12);
    m -= 12 * FloorDiv(m, 12);
    ++m;  // 1 ... 12
    if (m <= 2) --y;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;                                     // 0 ... 399
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + day - 1;  // 0 ... 365
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;             // 0 ... 146096
    return era * 146097 + doe - 719468 + kDay1970;
}

TCivilDate CivilDate(std::int64_t day)
{
    const std::int64_t z = day - kDay1970 + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    TCivilDate d;
    d.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.Year = static_cast<int>(yoe + era * 400 + (d.Month <= 2 ? 1 : 0));
    return d;
}

std::string ShortMonthName(int month)
{
    static const char* const names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) return {};
    return names[month - 1];
}

bool DecodeDayNumber(double value, TDateTimeParts& parts)
{
    if (!std::isfinite(value) || std::fabs(value) > kMaxFormattedDays) return false;
    if (std::fabs(value) < kZeroSnap) value = 0.0;
    // Rounded on the time line itself, so that a negative day's time of day
    // counts forwards from its midnight and a value a hair before midnight
    // is the next day's 00:00.
    const auto ms = static_cast<std::int64_t>(std::llround(value * static_cast<double>(kMsPerDay)));
    const std::int64_t day = FloorDiv(ms, kMsPerDay);
    std::int64_t rest = ms - day * kMsPerDay;
    parts.Date = CivilDate(day);
    parts.Hour = static_cast<int>(rest / 3600000);
    rest %= 3600000;
    parts.Minute = static_cast<int>(rest / 60000);
    rest %= 60000;
    parts.Second = static_cast<int>(rest / 1000);
    parts.Millisecond = static_cast<int>(rest % 1000);
    return true;
}

// --- texts

std::string FormatSeconds(bool withMilliseconds, double seconds)
{
    if (!std::isfinite(seconds)) return {};
    const double a = std::fabs(seconds);
    // The fraction of a double is exact, so the milliseconds survive at
    // any magnitude that still has them.
    double whole = std::floor(a);
    const double fraction = a - whole;
    int ms = 0;
    if (withMilliseconds) {
        ms = static_cast<int>(std::lround(fraction * 1000.0));
        if (ms == 1000) {
            whole += 1.0;
            ms = 0;
        }
    } else {
        // Seconds are truncated; only what a tick sum's own rounding can put
        // below a whole second counts as that second: a few rounding steps
        // of the value (a sum First + m * Sub rounds twice), or a nanosecond
        // for values near zero, whose sums round at the larger magnitude of
        // the range's other end. A real fraction is never rounded up.
        const double residue = std::fmax(1e-9, 4.0 * (std::nextafter(a, HUGE_VAL) - a));
        if (fraction > 0.0 && 1.0 - fraction <= residue) whole += 1.0;
    }
    const double hours = std::floor(whole / 3600.0);
    const double rest = std::fmod(whole, 3600.0);
    const int minutes = static_cast<int>(rest / 60.0);
    const int secs = static_cast<int>(rest) - 60 * minutes;

    // A negative value whose text shows zero reads as zero.
    const bool negative = seconds < 0.0 && (whole > 0.0 || ms > 0);
    std::string text(1, negative ? '-' : ' ');
    char buf[400];
    std::snprintf(buf, sizeof buf, "%02.0f:%02d:%02d", hours, minutes, secs);
    text += buf;
    if (withMilliseconds) {
        text += '.';
        AppendNumber(text, ms, 3);
    }
    return text;
}

std::string FormatTickDateTime(const std::string& pattern, double value)
{
    TDateTimeParts p;
    if (!DecodeDayNumber(value, p)) return {};
    const bool twelveHour = HasAmPm(pattern);
    const int hour12 = p.Hour % 12 == 0 ? 12 : p.Hour % 12;
    const int hour = twelveHour ? hour12 : p.Hour;

    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == '"') {
            // Quoted text up to the closing quote; "" inside is one quote.
            ++i;
            while (i < pattern.size()) {
                if (pattern[i] == '"') {
                    if (i + 1 < pattern.size() && pattern[i + 1] == '"') {
                        out += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += pattern[i++];
            }
            continue;
        }
        auto take = [&](const char* token) {
            if (!StartsWith(pattern, i, token)) return false;
            i += std::char_traits<char>::length(token);
            return true;
        };
        if (take("am/pm"))
            out += p.Hour < 12 ? "am" : "pm";
        else if (take("yyyy"))
            AppendNumber(out, p.Date.Year, 4);
        else if (take("yy"))
            AppendNumber(out, ((p.Date.Year % 100) + 100) % 100, 2);
        else if (take("mmm"))
            out += ShortMonthName(p.Date.Month);
        else if (take("mm"))
            AppendNumber(out, p.Date.Month, 2);
        else if (take("dd"))
            AppendNumber(out, p.Date.Day, 2);
        else if (take("hh"))
            AppendNumber(out, hour, 2);
        else if (take("h"))
            AppendNumber(out, hour, 1);
        else if (take("nn"))
            AppendNumber(out, p.Minute, 2);
        else if (take("ss"))
            AppendNumber(out, p.Second, 2);
        else if (take("zz"))
            AppendNumber(out, p.Millisecond, 3);
        else
            out += pattern[i++];
    }
    return out;
}

std::string QuotedPatternText(char c)
{
    std::string s(1, '"');
    s += c;
    if (c == '"') s += '"';
    s += '"';
    return s;
}

std::string BuildDateFormat(bool monthName, TYearLength yearLength, TDateOrder dateOrder, char dateSeparator)
{
    const std::string s = QuotedPatternText(dateSeparator);
    const std::string m = monthName ? "mmm" : "mm";
    if (yearLength == ylNone) return dateOrder == doDDMMYY ? "dd" + s + m : m + s + "dd";
    const std::string y = yearLength == ylYY ? "yy" : "yyyy";
    switch (dateOrder) {
    case doMMDDYY: return m + s + "dd" + s + y;
    case doYYMMDD: return y + s + m + s + "dd";
    default: return "dd" + s + m + s + y;
    }
}

}  // namespace kurvo
