// Painting allocates nothing per item: a Paint of 60 000 line-to items makes
// exactly as many allocations as a Paint of 600.
//
// This file replaces the global operator new of the chart test program with
// one that counts; it forwards to malloc and changes nothing else.
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>

namespace {
std::size_t gAllocations = 0;
}  // namespace

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace kurvo;
using namespace kurvo::test;

namespace {

// Allocations of one Paint after a first one has sized bitmaps and caches.
std::size_t PaintAllocations(int items, bool logarithmic)
{
    TKurvo chart;
    DemoGeometry(chart);
    if (logarithmic) {
        chart.Scale1X()->SetRangeLow(1);
        chart.Scale1X()->SetLogarithmic(true);
    }
    chart.HandleNeeded();
    chart.MoveTo(1, 0);
    for (int i = 1; i <= items; ++i) chart.DrawTo(1 + i % 100, std::sin(0.2 * i));
    chart.Paint();
    const std::size_t before = gAllocations;
    chart.Paint();
    return gAllocations - before;
}

}  // namespace

TEST(PaintAllocations, NoAllocationPerItem)
{
    for (const bool logarithmic : {false, true}) {
        SCOPED_TRACE(logarithmic ? "logarithmic X" : "linear");
        const std::size_t few = PaintAllocations(600, logarithmic);
        const std::size_t many = PaintAllocations(60000, logarithmic);
        EXPECT_EQ(many, few);
        EXPECT_LT(few, 600u);  // and far fewer than one per item
    }
}
