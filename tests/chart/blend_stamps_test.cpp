// Marks that blend with what lies below, applied through learnt tables, give
// the picture of drawing each mark in turn; marks whose pixels depend on
// other pixels are refused. The marks here are drawn pixel by pixel, each a
// different map per pixel of the mark, so that the order of the marks and
// every skipped position show in the picture.
#include "canvas/Qorn_canvas.h"
#include "canvas/qt_canvas.h"
#include "chart/blend_stamps.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace kurvo;

namespace {

// A channel moved 40 levels towards `target`, stopping there.
int Towards(int v, int target) { return v < target ? std::min(v + 40, target) : std::max(v - 40, target); }

TColor Moved(TColor c, int target)
{
    return static_cast<TColor>(Towards(c & 0xFF, target) | Towards(c >> 8 & 0xFF, target) << 8 |
                               Towards(c >> 16 & 0xFF, target) << 16);
}

// Five by five pixels: the left columns pull towards black, the right ones
// towards white, the middle one towards the pen's blue. Marks three pixels
// apart share pixels that one pulls down and the other up.
void PushPull(TCanvas& c, int x, int y)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const TColor v = c.GetPixel(x + dx, y + dy);
            if (v == static_cast<TColor>(-1)) continue;
            c.SetPixel(x + dx, y + dy, Moved(v, dx < 0 ? 0 : dx > 0 ? 255 : static_cast<int>(c.Pen().Color() >> 16 & 0xFF)));
        }
}

// Five by five pixels pulled towards the pen's colour, by 8 to 56 levels as
// antialiased text pulls its edges: a position settles once all its pixels
// are close enough to the colour, and stays settled in that colour.
void PullToPen(TCanvas& c, int x, int y)
{
    const TColor pen = c.Pen().Color();
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const TColor v = c.GetPixel(x + dx, y + dy);
            if (v == static_cast<TColor>(-1)) continue;
            const int step = 8 * (1 + std::abs(dx) + std::abs(dy) * 2);
            TColor after = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int from = static_cast<int>(v >> shift & 0xFF), to = static_cast<int>(pen >> shift & 0xFF);
                const int moved = from < to ? std::min(from + step, to) : std::max(from - step, to);
                after |= static_cast<TColor>(moved) << shift;
            }
            c.SetPixel(x + dx, y + dy, after);
        }
}

// Each pixel takes the value of its left neighbour: not a map of the pixel itself.
void Smear(TCanvas& c, int x, int y)
{
    for (int dx = 2; dx >= -2; --dx) c.SetPixel(x + dx, y, c.GetPixel(x + dx - 1, y));
}

struct Case {
    const char* name;
    std::vector<std::pair<int, int>> marks;
    std::vector<TColor> colours;  // one per mark, or none: the pen's
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    // A position settles (its mark changes nothing more), a neighbour three
    // pixels away on one side pulls its pixels, and it is drawn once more.
    for (const auto& [x, y] : {std::pair{13, 10}, std::pair{10, 13}, std::pair{13, 13}, std::pair{7, 10},
                               std::pair{10, 7}, std::pair{7, 7}}) {
        Case settle{"a position that settles and is pulled again", {}, {}};
        for (int k = 0; k < 8; ++k) settle.marks.emplace_back(10, 10);
        settle.marks.emplace_back(x, y);
        settle.marks.emplace_back(10, 10);
        settle.marks.emplace_back(x, y);
        cases.push_back(settle);
    }
    Case alternate{"two positions in turn", {}, {}};
    for (int k = 0; k < 60; ++k) alternate.marks.emplace_back(k % 2 == 0 ? 10 : 13, 10);
    cases.push_back(alternate);
    Case cloud{"a cloud on a few pixels", {}};
    std::mt19937 random(7);
    for (int k = 0; k < 3000; ++k) cloud.marks.emplace_back(8 + static_cast<int>(random() % 9), 8 + static_cast<int>(random() % 7));
    cases.push_back(cloud);
    Case edges{"marks across the edges", {}};
    for (int k = 0; k < 400; ++k)
        edges.marks.emplace_back(-3 + static_cast<int>(random() % 32), -3 + static_cast<int>(random() % 30));
    cases.push_back(edges);
    // A position still in one colour is not still in another.
    Case colours{"colours in turn", {}, {}};
    for (int k = 0; k < 39; ++k) {
        colours.marks.emplace_back(10, 10);
        colours.colours.push_back(k < 30 || k % 3 == 2 ? clBlack : clBlue);
    }
    cases.push_back(colours);
    return cases;
}

QImage Drawn(const Case& c, const TDrawMark& draw, bool stamped, bool& prepared)
{
    const auto& marks = c.marks;
    const auto colour = [&](std::size_t k) { return c.colours.empty() ? clBlack : c.colours[k]; };
    TBitmap bitmap(26, 24);
    TCanvas& canvas = bitmap.Canvas();
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 26; ++x) canvas.SetPixel(x, y, static_cast<TColor>(0x3070B0 + x * 5 + y * 0x500));
    TBlendStamps stamps;
    canvas.Pen().SetColor(colour(0));
    prepared = stamped && stamps.Prepare(canvas, draw, 3, 1);
    if (prepared) {
        stamps.Begin(canvas, c.colours.empty());
        for (std::size_t k = 0; k < marks.size(); ++k) stamps.Add(marks[k].first, marks[k].second, stamps.Colour(colour(k)));
        canvas.Pen().SetColor(colour(marks.size() - 1));
        stamps.Finish(draw);
    } else {
        for (std::size_t k = 0; k < marks.size(); ++k) {
            canvas.Pen().SetColor(colour(k));
            draw(canvas, marks[k].first, marks[k].second);
        }
    }
    return bitmap.Image().copy();
}

}  // namespace

TEST(BlendStamps, PictureEqualsDrawingEachMarkInTurn)
{
    const std::pair<const char*, TDrawMark> draws[] = {{"push and pull", PushPull}, {"towards the pen", PullToPen}};
    for (const auto& [drawName, draw] : draws)
        for (const Case& c : Cases()) {
            bool prepared = false, unused = false;
            const QImage stamped = Drawn(c, draw, true, prepared);
            ASSERT_TRUE(prepared) << drawName << ": " << c.name;
            const QImage reference = Drawn(c, draw, false, unused);
            int differing = 0;
            for (int y = 0; y < reference.height(); ++y)
                for (int x = 0; x < reference.width(); ++x) differing += stamped.pixel(x, y) != reference.pixel(x, y);
            EXPECT_EQ(differing, 0) << drawName << ": " << c.name << ", " << c.marks.size() << " marks";
        }
}

TEST(BlendStamps, RefusesWhatTablesCannotHold)
{
    const struct {
        const char* name;
        TDrawMark draw;
        int reach;
        double ratio;
    } refused[] = {
        {"a mark reading other pixels", Smear, 3, 1.0},
        {"a mark beyond its reach", PushPull, 0, 1.0},
        {"a ratio whose pixels do not repeat", PushPull, 3, 1.3},
    };
    for (const auto& r : refused) {
        TBitmap bitmap(20, 20);
        bitmap.SetDevicePixelRatio(r.ratio);
        TBlendStamps stamps;
        EXPECT_FALSE(stamps.Prepare(bitmap.Canvas(), r.draw, r.reach, 0)) << r.name;
    }
}
