// The axis control's model: setters, mapping, lifecycle, Assign.
#include "scale/Qorn_Scale.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kurvo;

namespace {

// A loaded stand-alone axis 400 x 400, margins 20.
struct LoadedScale {
    TScale s;
    LoadedScale()
    {
        s.BeginLoading();
        s.Loaded();
    }
};

}  // namespace

TEST(ScaleModel, Defaults)
{
    TScale s;
    EXPECT_EQ(s.Width(), 400);
    EXPECT_EQ(s.Height(), 400);
    EXPECT_EQ(s.MarginLeft(), 20);
    EXPECT_EQ(s.ScaleType(), sctXB);
    EXPECT_EQ(s.RangeLow(), 0.0);
    EXPECT_EQ(s.RangeHigh(), 100.0);
    EXPECT_EQ(s.ColorBackGnd(), static_cast<TColor>(0xFF00000F));
    EXPECT_EQ(s.FrameStyle(), fsLowered);
    EXPECT_EQ(s.CaptionPosX(), 4);
    EXPECT_TRUE(s.PaintSuspended());
    EXPECT_TRUE(s.LoadingFlag());
    EXPECT_FALSE(s.HandleAllocated());
    EXPECT_EQ(s.DateFormat()->DateOrder(), doDDMMYY);
}

TEST(ScaleModel, SetterClamps)
{
    TScale s;
    s.SetMarginLeft(-5);
    EXPECT_EQ(s.MarginLeft(), 0);
    struct Row {
        int in, dec, ticks;
    } rows[] = {{20, 12, 10}, {-7, -3, 2}, {1, 1, 2}, {50, 12, 10}, {0, 0, 0}, {5, 5, 5}};
    for (const Row& r : rows) {
        s.SetDecPlaces(r.in);
        s.SetMinTicks(r.in);
        EXPECT_EQ(s.DecPlaces(), r.dec) << r.in;
        EXPECT_EQ(s.MinTicks(), r.ticks) << r.in;
    }
    s.SetColorScheme(csSystem);
    EXPECT_EQ(s.FrameShadowColor(), clBtnShadow);
    EXPECT_EQ(s.FrameHighlightColor(), clBtnHighlight);
    s.SetColorScheme(csBWG);
    EXPECT_EQ(s.FrameShadowColor(), 0x808080);
}

TEST(ScaleModel, EmptyRangeIsWidened)
{
    TScale s;
    s.SetRangeLow(100);
    EXPECT_EQ(s.RangeLow(), 100.0);
    EXPECT_EQ(s.RangeHigh(), 101.0);
    TScale t;
    t.SetRangeHigh(0);
    EXPECT_EQ(t.RangeHigh(), 0.0);
    EXPECT_EQ(t.RangeLow(), 1.0);
    t.SetRangeLow(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(t.RangeLow(), 1.0);
}

TEST(ScaleModel, ValueToPixel)
{
    LoadedScale l;
    TScale& s = l.s;
    EXPECT_EQ(s.ValueToPixel(0), 20);
    EXPECT_EQ(s.ValueToPixel(100), 379);
    EXPECT_EQ(s.ValueToPixel(50), 200);  // 199.5 rounds to even
    s.SetScaleType(sctYR);
    EXPECT_EQ(s.ValueToPixel(0), 379);  // vertical: RangeLow at the bottom
    EXPECT_EQ(s.ValueToPixel(100), 20);
    // Beyond the pixel range and NaN: defined results.
    EXPECT_EQ(s.ValueToPixel(1e300), -2147483647);
    EXPECT_EQ(s.ValueToPixel(-1e300), 2147483647);
    EXPECT_EQ(s.ValueToPixel(std::numeric_limits<double>::quiet_NaN()), -2147483647);
    // An axis without length maps everything to the middle.
    s.SetBounds(0, 0, 30, 30);
    EXPECT_EQ(s.ScaleFactor(), 0.0);
    EXPECT_EQ(s.ValueToPixel(42), 15);
}

TEST(ScaleModel, LogarithmicAcceptance)
{
    LoadedScale l;
    TScale& s = l.s;
    s.SetLogarithmic(true);  // 0 ... 100 on a loaded axis: refused
    EXPECT_FALSE(s.Logarithmic());
    TScale embedded;  // keeps its loading flag for life
    embedded.SetLogarithmic(true);
    EXPECT_TRUE(embedded.Logarithmic());

    s.SetRangeLow(1);
    s.SetLogarithmic(true);
    ASSERT_TRUE(s.Logarithmic());
    EXPECT_EQ(s.ValueToPixel(1), 20);
    EXPECT_EQ(s.ValueToPixel(100), 379);
    EXPECT_EQ(s.ValueToPixel(10), 200);  // 199.5 again
    EXPECT_EQ(s.ValueToPixel(0), 0);
    s.SetLabelType(ftDateTime);  // date/time axes are linear
    EXPECT_FALSE(s.Logarithmic());
    EXPECT_EQ(s.ValueToPixel(50.5), 200);
}

TEST(ScaleModel, TickValueOutsideTheListIsZero)
{
    TScale s;
    EXPECT_EQ(s.NumTicks(), 0);
    EXPECT_EQ(s.TickValue(0), 0.0);
    EXPECT_EQ(s.TickValue(1), 0.0);
}

TEST(ScaleModel, PaintSuspensionAndPaintNow)
{
    LoadedScale l;
    TScale& s = l.s;
    int paints = 0;
    s.OnBeforeScaleRendered = [&](TObject*, TCanvas&) { ++paints; };
    s.SetCaption("x");  // suspended until the window exists
    EXPECT_EQ(paints, 0);
    s.PaintNow();
    EXPECT_EQ(paints, 1);
    EXPECT_TRUE(s.PaintSuspended());
    s.HandleNeeded();  // window creation lifts the suspension and paints
    EXPECT_FALSE(s.PaintSuspended());
    EXPECT_EQ(paints, 2);
    s.SetCaption("y");  // opaque: repaints at once
    EXPECT_EQ(paints, 3);
    s.SetVisible(false);
    s.SetCaption("z");
    EXPECT_EQ(paints, 3);
}

TEST(ScaleModel, AssignCopiesFieldsButNotCanvasOrMouseAction)
{
    TScale a;
    a.SetRangeLow(-3);
    a.SetRangeHigh(7);
    a.SetScaleType(sctYL);
    a.SetCaption("c");
    a.SetMouseAction(maPan);
    a.SetMarginLeft(33);
    a.DateFormat()->SetYearLength(ylYY);
    int aRedraws = 0;
    a.DateFormat()->OnChange = [&](TObject*) { ++aRedraws; };
    TBitmap bitmap(10, 10);
    a.SetExternalCanvas(&bitmap.Canvas(), 1, 2);

    TScale b;
    b.Assign(a);
    EXPECT_EQ(b.RangeLow(), -3.0);
    EXPECT_EQ(b.RangeHigh(), 7.0);
    EXPECT_EQ(b.ScaleType(), sctYL);
    EXPECT_EQ(b.Caption(), "c");
    EXPECT_EQ(b.MarginLeft(), 33);
    EXPECT_EQ(b.DrawOffsetX(), 1);
    EXPECT_EQ(b.MouseAction(), maNone);
    EXPECT_EQ(b.ExternalCanvas(), nullptr);
    EXPECT_EQ(b.DateFormat()->YearLength(), ylYY);
    // b's date format keeps notifying b, never a.
    b.DateFormat()->SetYearLength(ylNone);
    EXPECT_EQ(aRedraws, 0);

    TScale c;
    a.AssignTo(c);
    EXPECT_EQ(c.Caption(), "c");
    TDTLabel label;
    EXPECT_THROW(c.Assign(label), EConvertError);
}
