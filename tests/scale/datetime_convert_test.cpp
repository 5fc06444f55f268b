// Day numbers of date/time axes to and from QDateTime and Unix time, in UTC
// and in zones with summer time.
#include "scale/Qorn_Scale.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kurvo::test {
namespace {

const QTimeZone kUtc = QTimeZone::utc();

QDateTime At(int y, int mo, int d, int h, int mi, const QTimeZone& zone = kUtc, int ms = 0)
{
    return {QDate(y, mo, d), QTime(h, mi, 0, ms), zone};
}

// The moment's clock in the zone, as the axis labels write it.
QString Clock(const QDateTime& t) { return t.toString("yyyy-MM-dd hh:mm:ss.zzz t"); }

TEST(DateTimeConversions, DayNumbersOfUtcDatesAndTheAxisLabelsAgree)
{
    const struct {
        QDateTime Moment;
        double Days;
    } rows[] = {
        {At(1899, 12, 30, 0, 0), 0.0},
        {At(1899, 12, 29, 6, 0), -0.75},  // the time line runs on through day 0
        {At(1970, 1, 1, 0, 0), 25569.0},
        {At(2026, 1, 1, 18, 0), 46023.75},
        {At(2026, 1, 1, 0, 0, kUtc, 1), 46023.0 + 1.0 / 86400000},
        {At(1, 1, 1, 0, 0), -693593.0},
        {At(9999, 12, 31, 23, 59), 2958465.0 + 1439.0 / 1440},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Clock(row.Moment).toStdString());
        EXPECT_DOUBLE_EQ(TScale::DaysFromDateTime(row.Moment), row.Days);
        const QDateTime back = TScale::DateTimeFromDays(row.Days, kUtc);
        EXPECT_EQ(back, row.Moment);
        EXPECT_EQ(Clock(back), Clock(row.Moment));
        // The axis labels the day number with the same date and time.
        EXPECT_EQ(FormatTickDateTime("yyyy-mm-dd hh:nn:ss.zz", row.Days),
                  row.Moment.toString("yyyy-MM-dd hh:mm:ss.zzz").toStdString());
        const double unix = static_cast<double>(row.Moment.toMSecsSinceEpoch()) / 1000.0;
        EXPECT_DOUBLE_EQ(TScale::DaysFromUnixSeconds(unix, kUtc), row.Days);
        EXPECT_NEAR(TScale::UnixSecondsFromDays(row.Days, kUtc), unix, 1e-4);
    }
    // A QDateTime counts on its own clock: one at UTC+05:30 gives its clock's reading.
    const QDateTime india(QDate(2026, 1, 1), QTime(5, 30), Qt::OffsetFromUTC, 19800);
    EXPECT_DOUBLE_EQ(TScale::DaysFromDateTime(india), 46023.0 + 5.5 / 24);
    EXPECT_DOUBLE_EQ(TScale::DaysFromDateTime(india.toUTC()), 46023.0);
    // Fractions of a millisecond in Unix time are kept (to the microsecond a
    // day number near 25569 holds).
    EXPECT_NEAR((TScale::DaysFromUnixSeconds(0.0004, kUtc) - 25569.0) * 86400, 0.0004, 1e-6);
}

TEST(DateTimeConversions, ZonesWithSummerTimeReadTheirOwnClock)
{
    const QTimeZone berlin("Europe/Berlin");
    const QTimeZone newYork("America/New_York");
    if (!berlin.isValid() || !newYork.isValid()) GTEST_SKIP() << "no time zone data";
    const struct {
        const char* Name;
        QTimeZone Zone;
        double Days;  // the clock reading
        QDateTime Moment;  // the moment it names there
    } rows[] = {
        {"winter, UTC+1", berlin, 46023.5, At(2026, 1, 1, 11, 0)},
        {"summer, UTC+2", berlin, 46204.5, At(2026, 7, 1, 10, 0)},
        {"New York, UTC-5", newYork, 46023.5, At(2026, 1, 1, 17, 0)},
        // 02:30 on the night summer time starts is skipped: it reads as 03:30.
        {"skipped hour", berlin, 46110.0 + 2.5 / 24, At(2026, 3, 29, 1, 30)},
        // 02:30 on the night it ends comes twice: the later one.
        {"repeated hour", berlin, 46320.0 + 2.5 / 24, At(2026, 10, 25, 1, 30)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const QDateTime there = TScale::DateTimeFromDays(row.Days, row.Zone);
        EXPECT_EQ(there, row.Moment) << Clock(there).toStdString();
        EXPECT_EQ(there.timeZone(), row.Zone);
        const double unix = static_cast<double>(row.Moment.toSecsSinceEpoch());
        EXPECT_NEAR(TScale::UnixSecondsFromDays(row.Days, row.Zone), unix, 1e-4);
        // Back from the moment: its clock there (the skipped reading comes back as 03:30).
        const double clock = TScale::DaysFromUnixSeconds(unix, row.Zone);
        EXPECT_DOUBLE_EQ(clock, TScale::DaysFromDateTime(row.Moment.toTimeZone(row.Zone)));
        if (std::string(row.Name) != "skipped hour") EXPECT_DOUBLE_EQ(clock, row.Days);
    }
    // The same moment reads differently on the two clocks.
    const double unix = static_cast<double>(At(2026, 7, 1, 12, 0).toSecsSinceEpoch());
    EXPECT_NEAR(TScale::DaysFromUnixSeconds(unix, berlin) - TScale::DaysFromUnixSeconds(unix, kUtc), 2.0 / 24, 1e-9);
}

TEST(DateTimeConversions, BadInputGivesNaNOrAnInvalidDateTime)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double days : {nan, inf, -inf, 1e8 + 1, -1e300}) {
        SCOPED_TRACE(days);
        EXPECT_FALSE(TScale::DateTimeFromDays(days, kUtc).isValid());
        EXPECT_TRUE(std::isnan(TScale::UnixSecondsFromDays(days, kUtc)));
        EXPECT_TRUE(std::isnan(TScale::DaysFromUnixSeconds(days * 86400.0, kUtc)));
    }
    EXPECT_TRUE(TScale::DateTimeFromDays(-1e8, kUtc).isValid());
    EXPECT_TRUE(std::isnan(TScale::DaysFromDateTime(QDateTime())));
    EXPECT_FALSE(TScale::DateTimeFromDays(46023.0, QTimeZone()).isValid());
    EXPECT_TRUE(std::isnan(TScale::DaysFromUnixSeconds(0.0, QTimeZone())));
}

}  // namespace
}  // namespace kurvo::test
