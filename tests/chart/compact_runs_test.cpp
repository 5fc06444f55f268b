// The compact form of long line-to runs: every item reads back exactly,
// runs break where an attribute differs, the min/max structure agrees with a
// plain scan, whole records read back across their pages, and a series
// costs at most 24 bytes per point.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace kurvo;
using namespace kurvo::test;

namespace {

bool SameBytes(const TkvChartItem& a, const TkvChartItem& b)
{
    return std::memcmp(&a, &b, sizeof(TkvChartItem)) == 0;
}

}  // namespace

// Every attribute of a line-to item survives, and a change of any one of
// them starts a new run; non-finite points and move-to items stay records.
TEST(CompactRuns, ItemsReadBackExactlyWhateverBreaksTheRun)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Change {
        const char* name;
        void (*apply)(TkvChartItem&);
    };
    const Change changes[] = {
        {"none", [](TkvChartItem&) {}},
        {"Color", [](TkvChartItem& i) { i.Color = clRed; }},
        {"FillColor", [](TkvChartItem& i) { i.FillColor = clWhite; }},
        {"Class", [](TkvChartItem& i) { i.Class = 7; }},
        {"PenStyle", [](TkvChartItem& i) { i.PenStyle = psDot; }},
        {"LineWidth", [](TkvChartItem& i) { i.LineWidth = 3; }},
        {"Aux", [](TkvChartItem& i) { i.Aux = -5; }},
        {"Layer", [](TkvChartItem& i) { i.Layer = 2; }},
        {"X2", [](TkvChartItem& i) { i.X2 = 0.25; }},
        {"Size", [](TkvChartItem& i) { i.Size = 12; }},
        {"NaN Y", [](TkvChartItem& i) { i.Y = nan; }},
        {"infinite X", [](TkvChartItem& i) { i.X = -inf; }},
        {"move-to", [](TkvChartItem& i) { i.Kind = ikMoveTo; }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        TKvItemContainer items;
        std::vector<TkvChartItem> expected;
        for (int i = 0; i < 300; ++i) {
            TkvChartItem item = Item(ikLineTo, i, std::sin(0.1 * i));
            if (i >= 100 && i < 103) change.apply(item);
            items.Append(item);
            expected.push_back(item);
        }
        ASSERT_EQ(items.Size(), 300);
        for (int i = 0; i < 300; ++i) {
            const TkvChartItem back = items.Item(i);
            if (std::isnan(expected[i].Y)) {
                EXPECT_TRUE(std::isnan(back.Y)) << i;
                continue;
            }
            EXPECT_TRUE(SameBytes(back, expected[i])) << "item " << i;
        }
        // Beyond the items: zero.
        EXPECT_TRUE(SameBytes(items.Item(300), TkvChartItem{}));
        // The three changed items split the run (or, unchanged, nothing does).
        EXPECT_EQ(items.Runs().size(), std::strcmp(change.name, "none") == 0 ? 1u : 3u);

        // A copy of part of the list reads the same up to its end.
        const auto copy = items.Copy(101, 200);
        ASSERT_EQ(copy->Size(), 101);
        EXPECT_TRUE(SameBytes(copy->Item(100), items.Item(100)));
        EXPECT_TRUE(SameBytes(copy->Item(50), items.Item(50)));
        EXPECT_TRUE(SameBytes(copy->Item(101), TkvChartItem{}));
    }
}

// A line coloured by value, or classed point by point, and a scatter of
// marks in a colour each stay one run: every item reads back exactly, also
// after Truncate, in a Copy and when appended to again.
TEST(CompactRuns, ColourOrClassAtEveryPointKeepsOneRun)
{
    struct Case {
        const char* name;
        std::uint8_t kind;
        void (*apply)(TkvChartItem&, int);
    };
    const Case cases[] = {
        {"Color", ikLineTo, [](TkvChartItem& item, int i) { item.Color = i * 977 % 0x1000000; }},
        {"Class", ikLineTo, [](TkvChartItem& item, int i) { item.Class = static_cast<std::uint8_t>(i % 251); }},
        {"both", ikLineTo, [](TkvChartItem& item, int i) {
             item.Color = i % 3;
             item.Class = static_cast<std::uint8_t>(i % 2);
         }},
        {"mark colour", ikMark, [](TkvChartItem& item, int i) { item.Color = i * 31; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TKvItemContainer items;
        std::vector<TkvChartItem> expected;
        const auto append = [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                TkvChartItem item = Item(c.kind, i, std::sin(0.1 * i));
                c.apply(item, i);
                items.Append(item);
                expected.push_back(item);
            }
        };
        const auto check = [&](const TKvItemContainer& list, std::size_t n) {
            ASSERT_EQ(list.Size(), static_cast<std::int64_t>(n));
            for (std::size_t i = 0; i < n; ++i)
                ASSERT_TRUE(SameBytes(list.Item(static_cast<std::int64_t>(i)), expected[i])) << i;
        };
        append(0, 5000);
        EXPECT_EQ(items.Runs().size(), 1u);
        EXPECT_LE(static_cast<double>(items.MemoryBytes()) / 5000, 24.0);
        check(items, 5000);
        check(*items.Copy(3000, 3000), 3000);
        items.Truncate(2500);
        expected.resize(2500);
        append(7000, 8000);
        EXPECT_EQ(items.Runs().size(), 1u);
        check(items, 3500);
    }
}

TEST(CompactRuns, MinMaxStructureAgreesWithAScan)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    TChunkedDoubles values;
    TMinMaxPyramid pyramid;
    // Grown in uneven steps, as live data grows between paints.
    for (const std::int64_t grow : {1, 15, 16, 17, 255, 4096, 70000, 3}) {
        for (std::int64_t k = 0; k < grow; ++k) values.PushBack(value(random));
        pyramid.Extend(values);
        const std::int64_t n = values.Size();
        std::uniform_int_distribution<std::int64_t> index(0, n - 1);
        for (int q = 0; q < 200; ++q) {
            std::int64_t a = index(random), b = index(random);
            if (a > b) std::swap(a, b);
            ++b;
            double lo, hi;
            pyramid.Query(values, a, b, lo, hi);
            double scanLo = values[a], scanHi = values[a];
            for (std::int64_t i = a; i < b; ++i) {
                scanLo = std::min(scanLo, values[i]);
                scanHi = std::max(scanHi, values[i]);
            }
            ASSERT_EQ(lo, scanLo) << a << " ... " << b << " of " << n;
            ASSERT_EQ(hi, scanHi) << a << " ... " << b << " of " << n;
        }
    }
}

// DrawTo and the bulk form fill the same items; the counters, Count and the
// AllocSize steps of Capacity are those of single items.
TEST(CompactRuns, BulkAppendMatchesSingleDrawTo)
{
    TKurvo single, bulk;
    for (TKurvo* chart : {&single, &bulk}) {
        chart->SetAllocSize(1000);
        chart->SetDataColor(clBlue);
        chart->MoveTo(0, 0);
    }
    std::vector<double> x, y;
    for (int i = 1; i <= 2500; ++i) {
        x.push_back(i);
        y.push_back(i % 17 == 0 ? std::numeric_limits<double>::quiet_NaN() : 0.5 * i);
        single.DrawTo(i, y.back());
    }
    bulk.AppendLinePoints(x.data(), y.data(), static_cast<std::int64_t>(x.size()));
    EXPECT_EQ(bulk.DataCount(), single.DataCount());
    EXPECT_EQ(bulk.DataCapacity(), 3000);
    EXPECT_EQ(bulk.DataCapacity(), single.DataCapacity());
    EXPECT_EQ(bulk.ItemCounter(ikLineTo), 2500);
    for (int i = 0; i <= 2500; i += 17) {
        const TkvChartItem a = single.DataItem(i), b = bulk.DataItem(i);
        if (std::isnan(a.Y)) {
            EXPECT_TRUE(std::isnan(b.Y));
            EXPECT_EQ(b.Kind, ikLineTo);
        } else {
            EXPECT_TRUE(SameBytes(a, b)) << i;
        }
    }
}

// Whole records live in pages of growing size; every record reads back
// through Item, ForEachRun and Copy, also after Truncate, on either side of
// every page boundary.
TEST(CompactRuns, WholeRecordsReadBackAcrossEveryPageBoundary)
{
    TKvItemContainer items;
    std::vector<TkvChartItem> expected;
    const auto append = [&](int i) {
        // Mostly rectangles (whole records), with short line-to runs between.
        TkvChartItem item = Item(i % 7 < 5 ? ikRectangle : ikLineTo, i, -i);
        items.Append(item);
        expected.push_back(item);
    };
    const auto check = [&](const char* stage) {
        SCOPED_TRACE(stage);
        ASSERT_EQ(items.Size(), static_cast<std::int64_t>(expected.size()));
        ASSERT_GE(items.Allocated(), items.Size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_TRUE(SameBytes(items.Item(static_cast<std::int64_t>(i)), expected[i])) << i;
        std::size_t next = 0;
        items.ForEachRun(items.Size(), [&](const TkvChartItem* run, int n, int first) {
            ASSERT_EQ(static_cast<std::size_t>(first), next);
            for (int k = 0; k < n; ++k) ASSERT_TRUE(SameBytes(run[k], expected[next + k])) << next + k;
            next += static_cast<std::size_t>(n);
        });
        EXPECT_EQ(next, expected.size());
        const auto copy = items.Copy(items.Size(), items.Size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_TRUE(SameBytes(copy->Item(static_cast<std::int64_t>(i)), expected[i])) << i;
    };
    for (int i = 0; i < 3100; ++i) append(i);
    check("appended");
    items.Truncate(700);
    expected.resize(700);
    for (int i = 700; i < 2000; ++i) append(i + 5);
    check("truncated and appended again");
}

// A series takes at most 24 bytes per point (104 as whole records), the
// min/max structure built by a paint and the move-to record before it
// included.
TEST(CompactRuns, SeriesTakesAtMost24BytesPerPoint)
{
    for (const int n : {1000, 1'000'000}) {
        SCOPED_TRACE(n);
        TKurvo chart;
        DemoGeometry(chart);
        chart.Scale1X()->SetRangeHigh(n);
        chart.SetAllocSize(std::clamp(n / 10, 1000, 100000));
        chart.MoveTo(0, 0);
        for (int i = 1; i < n; ++i) chart.DrawTo(i, std::sin(0.2 * i));
        TBitmap bitmap(378, 362);
        chart.RenderData(bitmap.Canvas(), 0, 0, false, true);
        const double perPoint = static_cast<double>(chart.DataBytes()) / chart.DataCount();
        EXPECT_LE(perPoint, 24.0);
        RecordProperty("bytes_per_point_" + std::to_string(n), std::to_string(perPoint));
    }
}
