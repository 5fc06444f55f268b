// Display lists and drawing commands.
#include "chart/Qorn_kurvo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kurvo;

TEST(DisplayList, ItemRecordIsPlain)
{
    TkvChartItem item{};
    item.ShortText.Assign("a text longer than seventeen");
    EXPECT_EQ(item.ShortText.Length, 17);
    EXPECT_EQ(item.ShortText.Str(), "a text longer tha");
    TkvChartItem copy = item;  // copied as a whole
    EXPECT_EQ(copy.ShortText.Str(), item.ShortText.Str());
}

TEST(DisplayList, GrowsInStepsOfAllocSize)
{
    TKurvo chart;
    chart.SetAllocSize(3);
    for (int i = 0; i < 7; ++i) chart.DrawTo(i, 0.5);
    EXPECT_EQ(chart.DataCount(), 7);
    EXPECT_EQ(chart.DataCapacity(), 9);
    // Slots beyond Count are zero.
    const TKvItemContainer& items = *chart.DataList().Items;
    for (int i = 7; i < 9; ++i) {
        EXPECT_EQ(items[i].Kind, 0);
        EXPECT_EQ(items[i].X, 0.0);
    }
    chart.SetAllocSize(1000000);
    for (int i = 0; i < 3; ++i) chart.DrawTo(i, 0.5);
    EXPECT_EQ(chart.DataCapacity(), 1000009);
}

TEST(DisplayList, PolylineCommandsRecordItemsOfTheCurrentLayer)
{
    TKurvo chart;
    chart.SetFillColor(clWhite);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, std::sin(0.2 * i));
    EXPECT_EQ(chart.DataCount(), 101);
    EXPECT_EQ(chart.ItemCounter(ikMoveTo), 1);
    EXPECT_EQ(chart.ItemCounter(ikLineTo), 100);
    EXPECT_EQ(chart.ItemCounter(0), 1);
    for (int i = 0; i < 101; ++i) {
        const TkvChartItem& item = chart.DataItem(i);
        EXPECT_EQ(item.Layer, 1);
        EXPECT_EQ(item.Class, 0);
        EXPECT_EQ(item.Color, 0);
        EXPECT_EQ(item.LineWidth, 1);
        EXPECT_EQ(item.Mode, 0);  // data items are always world coordinates
    }
    const TkvChartItem& move = chart.DataItem(0);
    EXPECT_EQ(move.Kind, ikMoveTo);
    EXPECT_EQ(move.FillColor, 0);
    const TkvChartItem& last = chart.DataItem(100);
    EXPECT_EQ(last.Kind, ikLineTo);
    EXPECT_EQ(last.X, 100.0);
    EXPECT_EQ(last.Y, std::sin(0.2 * 100));
    EXPECT_EQ(last.FillColor, clWhite);

    // Attributes are copied when an item is added; later changes affect later items.
    chart.SetDataColor(clRed);
    chart.SetClassDefault(9);
    chart.DrawTo(101, 0.0);
    EXPECT_EQ(chart.DataItem(100).Color, 0);
    EXPECT_EQ(chart.DataItem(101).Color, clRed);
    EXPECT_EQ(chart.DataItem(101).Class, 9);
}

TEST(DisplayList, GrowthKeepsEarlierItems)
{
    TKurvo chart;
    chart.SetAllocSize(1);
    for (int i = 0; i < 5000; ++i) chart.DrawTo(i, i * 0.5);
    ASSERT_EQ(chart.DataCount(), 5000);
    EXPECT_EQ(chart.DataCapacity(), 5000);
    for (int i = 0; i < 5000; i += 997) EXPECT_EQ(chart.DataItem(i).Y, i * 0.5);
}

#if !defined(__SANITIZE_ADDRESS__)
// Out of memory ends the command with std::bad_alloc; the list is unchanged.
TEST(DisplayList, OutOfMemoryLeavesTheListUnchanged)
{
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        TKurvo chart;
        chart.SetAllocSize(1000000);  // one step is 16 MB of compact points
        for (int i = 0; i < 1000000; ++i) chart.DrawTo(i, 1.0);
        const int count = chart.DataCount();
        const int capacity = chart.DataCapacity();
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        std::ifstream statm("/proc/self/statm");
        long pages = 0;
        statm >> pages;
        limit.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (4u << 20);
        setrlimit(RLIMIT_AS, &limit);
        bool thrown = false;
        try {
            chart.DrawTo(1000000, 1.0);
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
        const bool unchanged = count == 1000000 && chart.DataCount() == count && chart.DataCapacity() == capacity &&
                               chart.ItemCounter(ikLineTo) == count;
        _exit(thrown && unchanged ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

// Long arrays move from chunks of their own to chunks cut from large blocks;
// values on both sides of every boundary survive growth in any step.
template <class T>
void ExpectChunkedArrayKeepsValues(std::int64_t n, std::int64_t reserveStep)
{
    TChunkedArray<T> a;
    const auto value = [](std::int64_t i) { return static_cast<T>((i * 2654435761u) >> 7); };
    std::vector<T> run(3000);
    std::int64_t i = 0;
    while (i < n) {
        a.Reserve(std::min(n, i + reserveStep));
        if ((i / 3000) % 2 == 0) {  // alternate single values and runs across chunk ends
            for (std::int64_t k = 0; k < 3000 && i < n; ++k, ++i) a.PushBack(value(i));
        } else {
            const std::int64_t take = std::min<std::int64_t>({3000, n - i, a.Capacity() - i});
            for (std::int64_t k = 0; k < take; ++k) run[static_cast<std::size_t>(k)] = value(i + k);
            a.AppendReserved(run.data(), take);
            i += take;
        }
    }
    ASSERT_EQ(a.Size(), n);
    EXPECT_GE(a.MemoryBytes(), n * static_cast<std::int64_t>(sizeof(T)));
    for (std::int64_t k = 0; k < n; ++k)
        if (a[k] != value(k)) FAIL() << "value " << k << " of " << n << " lost (" << sizeof(T) << "-byte values)";
}

TEST(DisplayList, ChunkedArrayKeepsValuesAcrossLargeBlocks)
{
    const std::int64_t perBlock1 = static_cast<std::int64_t>(LargeBlockBytes);
    const std::int64_t perBlock8 = perBlock1 / 8;
    struct TRow {
        std::int64_t n, step;
    };
    for (const TRow& row : {TRow{perBlock8 - 1, 1}, TRow{perBlock8 + 1, 1}, TRow{3 * perBlock8 + 5000, 7777},
                            TRow{5 * perBlock8, 5 * perBlock8}})
        ExpectChunkedArrayKeepsValues<double>(row.n, row.step);
    for (const TRow& row : {TRow{perBlock1 + 1, 1}, TRow{2 * perBlock1 + 1024, perBlock1 / 3}})
        ExpectChunkedArrayKeepsValues<std::uint8_t>(row.n, row.step);
}
