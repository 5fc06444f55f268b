// Day numbers of date/time axes to and from QDateTime and Unix time.
#include "scale/Qorn_Scale.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kurvo {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Day number of 1 January 1970, where Unix time starts.
constexpr std::int64_t kDay1970 = 25569;
// The day numbers converted: those the axes format (beyond, a millisecond
// is no longer a step a day number can take).
constexpr double kMaxDays = 1e8;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Convertible(double days) { return std::isfinite(days) && std::fabs(days) <= kMaxDays; }

// Milliseconds since 1970-01-01 00:00 of the clock reading a day number is,
// as if the clock ran in UTC: whole days in integers, the day's fraction
// rounded to the millisecond.
std::int64_t WallMs(double days)
{
    const double whole = std::floor(days);
    const auto ms = static_cast<std::int64_t>(std::llround((days - whole) * static_cast<double>(kMsPerDay)));
    return (static_cast<std::int64_t>(whole) - kDay1970) * kMsPerDay + ms;
}

double DaysOfWallMs(std::int64_t wallMs)
{
    std::int64_t day = wallMs / kMsPerDay;
    std::int64_t rest = wallMs % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --day;
    }
    return static_cast<double>(day + kDay1970) + static_cast<double>(rest) / static_cast<double>(kMsPerDay);
}

int OffsetAt(std::int64_t utcMs, const QTimeZone& zone)
{
    return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utcMs, QTimeZone::utc()));
}

// The UTC offset in seconds of the clock reading wallMs in `zone`. The
// offsets a day before and a day after bracket the reading (zones change at
// most twice a year, and no offset exceeds a day). A reading the clock shows
// twice is the later moment; one the clock skips takes the offset from
// before the change, so that it lies as far after the change as it lies
// after the last reading before it. Worked out here rather than left to
// QDateTime, whose choice in gaps and overlaps differs between Qt versions.
int WallOffset(std::int64_t wallMs, const QTimeZone& zone)
{
    const int before = OffsetAt(wallMs - kMsPerDay, zone);
    const int after = OffsetAt(wallMs + kMsPerDay, zone);
    const auto reads = [&](int offset) { return OffsetAt(wallMs - std::int64_t{offset} * 1000, zone) == offset; };
    // The smaller offset names the later moment.
    const int first = std::min(before, after);
    const int second = std::max(before, after);
    if (reads(first)) return first;
    if (reads(second)) return second;
    return before;
}

}  // namespace

double TScale::DaysFromDateTime(const QDateTime& value)
{
    if (!value.isValid()) return kNaN;
    return DaysOfWallMs(value.toMSecsSinceEpoch() + static_cast<std::int64_t>(value.offsetFromUtc()) * 1000);
}

QDateTime TScale::DateTimeFromDays(double days, const QTimeZone& zone)
{
    if (!Convertible(days) || !zone.isValid()) return {};
    const std::int64_t wallMs = WallMs(days);
    return QDateTime::fromMSecsSinceEpoch(wallMs - static_cast<std::int64_t>(WallOffset(wallMs, zone)) * 1000, zone);
}

double TScale::DaysFromUnixSeconds(double seconds, const QTimeZone& zone)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > kMaxDays * 86400.0 || !zone.isValid()) return kNaN;
    const auto ms = static_cast<std::int64_t>(std::llround(seconds * 1000.0));
    const int offset = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
    // Whole milliseconds as DaysFromDateTime counts them, so that both give
    // the same day number for the same moment; a finer fraction is added.
    return DaysOfWallMs(ms + static_cast<std::int64_t>(offset) * 1000) +
           (seconds - static_cast<double>(ms) / 1000.0) / 86400.0;
}

double TScale::UnixSecondsFromDays(double days, const QTimeZone& zone)
{
    if (!Convertible(days) || !zone.isValid()) return kNaN;
    const int offset = WallOffset(WallMs(days), zone);
    return (days - static_cast<double>(kDay1970)) * 86400.0 - offset;
}

}  // namespace kurvo
