// The demo's chart at device pixel ratio 2 against its ratio-1 picture
// scaled by 2: the same geometry within one device pixel, lines sharp.
#include "app/form1.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>

using namespace kurvo;

namespace {

using TClass = std::function<bool(QRgb)>;

// Counts the pixels of `two` in class `ink` that have no pixel of the same
// class in `one` (scaled by 2) within `reach` device pixels; `total` gets all
// of them. Only pixels inside `area` (in logical pixels) count.
int Strays(const QImage& two, const QImage& one, const TClass& ink, const QRect& area, int& total, int reach = 1)
{
    int strays = 0;
    total = 0;
    for (int y = 2 * area.top(); y < 2 * (area.bottom() + 1); ++y)
        for (int x = 2 * area.left(); x < 2 * (area.right() + 1); ++x) {
            if (!ink(two.pixel(x, y))) continue;
            ++total;
            bool near = false;
            for (int j = -reach; j <= reach && !near; ++j)
                for (int i = -reach; i <= reach && !near; ++i) {
                    const int lx = (x + i) / 2;
                    const int ly = (y + j) / 2;
                    near = one.valid(lx, ly) && ink(one.pixel(lx, ly));
                }
            if (!near) ++strays;
        }
    return strays;
}

// The other way round: pixels of `one` without a pixel of `two` within one
// device pixel of their 2 x 2 square.
int Missing(const QImage& two, const QImage& one, const TClass& ink, const QRect& area)
{
    int missing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!ink(one.pixel(x, y))) continue;
            bool near = false;
            for (int j = 2 * y - 1; j <= 2 * y + 2 && !near; ++j)
                for (int i = 2 * x - 1; i <= 2 * x + 2 && !near; ++i) near = two.valid(i, j) && ink(two.pixel(i, j));
            if (!near) ++missing;
        }
    return missing;
}

}  // namespace

TEST(DemoRatio, RatioTwoMatchesTheRatioOnePictureScaledByTwo)
{
    TForm1 form;
    form.show();
    QApplication::processEvents();
    TKurvo& chart = *form.Kurvo1();
    const QImage one = chart.ToImage(0, 0, 1.0).convertToFormat(QImage::Format_RGB32);
    const QImage two = chart.ToImage(0, 0, 2.0).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(two.size(), 2 * one.size());

    const QRect whole(0, 0, one.width(), one.height());
    // Inside the data area black is drawn by lines only (the curve and the
    // frame); the texts there are red and blue. The green frame is a wide pen.
    const QRect data(chart.MarginLeft(), chart.MarginTop(),
                     chart.Width() - chart.MarginLeft() - chart.MarginRight() - chart.ShadowWidth() + 1,
                     chart.Height() - chart.MarginTop() - chart.MarginBottom() - chart.ShadowWidth() + 1);
    const TClass black = [](QRgb p) { return (p & 0xFFFFFFu) == 0; };
    const TClass green = [](QRgb p) { return (p & 0xFFFFFFu) == 0x00FF00u; };
    const TClass anyInk = [](QRgb p) { return qGray(p) < 120 || (p & 0xFFFFFFu) == 0x00FF00u; };
    int total = 0;
    EXPECT_EQ(Strays(two, one, black, data, total), 0);
    EXPECT_GT(total, 2 * 2 * 700);  // frame and curve, two device pixels wide
    EXPECT_EQ(Missing(two, one, black, data), 0);
    // The round joins of the five-pixel pen are drawn from a circle at ratio
    // 2 and from a 5 x 5 dot at ratio 1: a few corner pixels differ by two.
    EXPECT_LE(Strays(two, one, green, whole, total), 8);
    EXPECT_EQ(Strays(two, one, green, whole, total, 2), 0);
    EXPECT_GT(total, 4 * 5 * 2 * 190);
    EXPECT_EQ(Missing(two, one, green, whole), 0);
    // Everything, texts included: glyphs drawn at twice the size differ in
    // detail from the small ones, and their advances are whole device pixels
    // rather than whole pixels, so a long line drifts by a few device pixels
    // towards its end; nearly all ink stays where it was.
    const int strays = Strays(two, one, anyInk, whole, total);
    EXPECT_LE(strays, total / 25) << strays << " of " << total << " ink pixels stray by more than one";
    // Sharp lines: the one-pixel data-area frame is exactly two device columns.
    const int left = 2 * chart.MarginLeft();
    const int y = 2 * (chart.MarginTop() + 30);
    EXPECT_EQ(two.pixel(left - 1, y) & 0xFFFFFFu, one.pixel(chart.MarginLeft() - 1, chart.MarginTop() + 30) & 0xFFFFFFu);
    EXPECT_TRUE(black(two.pixel(left, y)));
    EXPECT_TRUE(black(two.pixel(left + 1, y)));
    EXPECT_EQ(two.pixel(left + 2, y) & 0xFFFFFFu, 0xFFFFFFu);
}
