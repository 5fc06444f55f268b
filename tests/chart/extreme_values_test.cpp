// Property values at the ends of their types: pixel properties keep a sane
// range, no bitmap grows beyond a screen-sized picture, and painting with
// them finishes.
#include "base/pixel_math.h"
#include "canvas/recording_canvas.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>

using namespace kurvo;

namespace {

std::int64_t Area(const TBitmap& b) { return std::int64_t{b.Width()} * b.Height(); }

}  // namespace

TEST(ExtremeValues, PixelPropertiesKeepTheirRanges)
{
    struct Row {
        const char* Name;
        std::function<void(TKurvo&, int)> Set;
        std::function<int(TKurvo&)> Get;
        int Low, High;  // what INT_MIN and INT_MAX become
    };
    const Row rows[] = {
        {"MarginLeft", [](TKurvo& c, int v) { c.SetMarginLeft(v); }, [](TKurvo& c) { return c.MarginLeft(); },
         -MaxChartMargin, MaxChartMargin},
        {"MarginRight", [](TKurvo& c, int v) { c.SetMarginRight(v); }, [](TKurvo& c) { return c.MarginRight(); },
         -MaxChartMargin, MaxChartMargin},
        {"MarginTop", [](TKurvo& c, int v) { c.SetMarginTop(v); }, [](TKurvo& c) { return c.MarginTop(); },
         -MaxChartMargin, MaxChartMargin},
        {"MarginBottom", [](TKurvo& c, int v) { c.SetMarginBottom(v); }, [](TKurvo& c) { return c.MarginBottom(); },
         -MaxChartMargin, MaxChartMargin},
        {"CaptionPosX", [](TKurvo& c, int v) { c.SetCaptionPosX(v); }, [](TKurvo& c) { return c.CaptionPosX(); },
         -MaxPixelOffset, MaxPixelOffset},
        {"CaptionPosY", [](TKurvo& c, int v) { c.SetCaptionPosY(v); }, [](TKurvo& c) { return c.CaptionPosY(); },
         -MaxPixelOffset, MaxPixelOffset},
        {"axis CaptionPosX", [](TKurvo& c, int v) { c.Scale1X()->SetCaptionPosX(v); },
         [](TKurvo& c) { return c.Scale1X()->CaptionPosX(); }, -MaxPixelOffset, MaxPixelOffset},
        {"axis ScalePos", [](TKurvo& c, int v) { c.Scale1Y()->SetScalePos(v); },
         [](TKurvo& c) { return c.Scale1Y()->ScalePos(); }, -MaxPixelOffset, MaxPixelOffset},
        {"label ShadowDx", [](TKurvo& c, int v) { c.TextLabel(1)->SetShadowDx(v); },
         [](TKurvo& c) { return c.TextLabel(1)->ShadowDx(); }, -MaxPixelOffset, MaxPixelOffset},
        {"crosshair LineWid", [](TKurvo& c, int v) { c.CrossHair(1)->SetLineWid(v); },
         [](TKurvo& c) { return c.CrossHair(1)->LineWid(); }, 0, MaxCrossHairWidth},
        {"Width", [](TKurvo& c, int v) { c.SetBounds(0, 0, v, 200); }, [](TKurvo& c) { return c.Width(); }, 150,
         MaxBitmapSide},
    };
    for (const Row& r : rows) {
        TKurvo chart;
        r.Set(chart, INT_MIN);
        EXPECT_EQ(r.Get(chart), r.Low) << r.Name;
        r.Set(chart, INT_MAX);
        EXPECT_EQ(r.Get(chart), r.High) << r.Name;
        r.Set(chart, 7);
        EXPECT_EQ(r.Get(chart), r.Name == std::string("Width") ? 150 : 7) << r.Name;
    }
}

// Each row once took seconds and gigabytes: the data bitmap followed the
// margins and the control followed the bitmap.
TEST(ExtremeValues, NoSettingMakesABitmapLargerThanAScreen)
{
    const std::function<void(TKurvo&)> rows[] = {
        [](TKurvo& c) { c.SetMarginLeft(1000000); },
        [](TKurvo& c) {
            c.SetMarginBottom(32768);
            c.SetMarginLeft(100000);
        },
        [](TKurvo& c) { c.SetMarginBottom(-1000000); },
        [](TKurvo& c) {
            c.SetMarginLeft(INT_MIN);
            c.SetMarginRight(INT_MIN);
            c.SetMarginTop(INT_MIN);
            c.SetMarginBottom(INT_MIN);
        },
        [](TKurvo& c) { c.SetBounds(INT_MIN, INT_MIN, INT_MAX, INT_MAX); },
    };
    int n = 0;
    for (const auto& setup : rows) {
        SCOPED_TRACE(++n);
        TKurvo chart;
        chart.HandleNeeded();
        chart.SetCaption("caption");
        setup(chart);
        chart.SetBounds(0, 0, 400, 300);
        chart.Paint();
        EXPECT_LE(Area(TCustomKurvoPrivate::Get(chart).DataBitmap()), MaxBitmapPixels);
        EXPECT_LE(Area(TCustomKurvoPrivate::Get(chart).ControlBitmap()), MaxBitmapPixels);
        EXPECT_LE(chart.Width(), MaxBitmapSide);
        EXPECT_LE(chart.Height(), MaxBitmapSide);
    }
}

TEST(ExtremeValues, ExtremeOffsetsPaintWithinTheCanvas)
{
    TKurvo chart;
    chart.SetBounds(0, 0, 300, 200);
    chart.HandleNeeded();  // paints only once its window exists
    TTextLabel& label = *chart.TextLabel(1);
    label.SetCaption("shadow");
    label.SetMode(tlShadow);
    label.SetVisible(true);
    label.SetAttachToData(tlamNone);
    for (int v : {INT_MAX, INT_MIN}) {
        label.SetShadowDx(v);
        label.SetShadowDy(v);
        label.SetPosX(v);
        label.SetPosY(-static_cast<double>(v));
        chart.SetCaptionPosX(v);
        chart.Scale1X()->SetCaptionPosY(v);
        chart.Scale1X()->SetCaption("axis");
        chart.CrossHair(1)->SetMode(chBoth);
        chart.CrossHair(1)->SetLineWid(v);
        chart.Paint();
    }
    // The window itself is still drawn.
    EXPECT_EQ(TCustomKurvoPrivate::Get(chart).ControlBitmap().Width(), 300);
}

// Tiles are filled in one operation over the real pixels, whatever size the
// caller names.
TEST(ExtremeValues, TiledBackgroundCoversThePictureOnce)
{
    TKurvo chart;
    QTemporaryDir dir;
    const std::string bmp = dir.filePath("tile.bmp").toStdString();
    QImage tile(7, 5, QImage::Format_RGB32);
    tile.fill(QColor(0, 0, 255));
    tile.setPixelColor(0, 0, QColor(255, 0, 0));
    ASSERT_TRUE(tile.save(QString::fromStdString(bmp), "BMP"));
    TBakGndImg& img = *chart.BackGroundImg();
    img.SetIncludePath(true);
    img.SetName(bmp);
    img.SetFillMode(bfTile);

    TBitmap bitmap(300, 100);
    chart.DrawBackground(bitmap.Canvas(), 0, 0, INT_MAX, INT_MAX);
    for (auto [x, y] : {std::pair{0, 0}, {7, 0}, {0, 5}, {294, 95}, {70, 50}})
        EXPECT_EQ(bitmap.Pixel(x, y), clRed) << x << "," << y;
    for (auto [x, y] : {std::pair{1, 0}, {6, 4}, {299, 99}, {71, 51}})
        EXPECT_EQ(bitmap.Pixel(x, y), clBlue) << x << "," << y;

    // A canvas without pixels of its own draws tile by tile, bounded.
    TRecordingCanvas recording;
    chart.DrawBackground(recording, 0, 0, 300, 100);
    EXPECT_EQ(recording.CallsOf("Draw").size(), 43u * 20u);
}
