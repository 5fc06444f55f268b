// The drawing commands: the item each one appends, per list and coordinate
// mode; which argument types compile; long texts; the bulk commands.
#include "chart/Qorn_kurvo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace kurvo {
namespace {

// ------------------------------------------------------------ overloads

// Which argument types a call accepts, decided at compile time.
template <class A, class B>
constexpr bool MoveToCompiles = requires(TCustomKurvo& c, A a, B b) { c.MoveTo(a, b); };
template <class A, class B, class C, class D>
constexpr bool LineCompiles = requires(TCustomKurvo& c, A a, B b, C x, D y) { c.Line(a, b, x, y); };
template <class A, class B, class C, class D>
constexpr bool ArrowCompiles = requires(TCustomKurvo& c, A a, B b, C x, D y) { c.Arrow(a, b, x, y); };
template <class A, class B>
constexpr bool MarkCompiles = requires(TCustomKurvo& c, A a, B b) { c.MarkAt(a, b, 1); };
template <class A>
constexpr bool BoxCompiles = requires(TCustomKurvo& c, A a) { c.Box(1.0, 2.0, a, 3); };

// Every int / double pattern of a point or point pair either compiles with
// the mode its types name or does not compile.
static_assert(MoveToCompiles<int, int> && MoveToCompiles<double, double>);
static_assert(MoveToCompiles<int, double> && MoveToCompiles<double, int>);
static_assert(MoveToCompiles<float, double>);  // any floating type is a world value
// No guessing: long, std::size_t and the other integer types stop the build
// with one message (tests/compile_fail/integer_arguments.cpp).
static_assert(!MarkCompiles<int, double> && !MarkCompiles<double, int>);  // marks: world or pixels
static_assert(LineCompiles<double, double, double, double> && LineCompiles<int, int, int, int>);
static_assert(LineCompiles<double, double, int, int> && LineCompiles<int, int, double, double>);
static_assert(!LineCompiles<int, double, int, int>);  // Line(1, 2.5, 3, 4) has no mode
static_assert(!LineCompiles<int, double, int, double>);  // modes 4 and 5 are not a line's
static_assert(ArrowCompiles<int, double, int, double> && ArrowCompiles<double, int, double, int>);
static_assert(!ArrowCompiles<double, double, double, int>);
static_assert(BoxCompiles<int> && !BoxCompiles<double>);  // pixels never truncate

// The item Line appends for each of the 16 int / double patterns that
// compile: its coordinates are the arguments unchanged.
template <int Bits>
void CheckLinePattern(TCustomKurvo& chart, std::vector<int>& modes)
{
    using A = std::conditional_t<(Bits & 8) != 0, int, double>;
    using B = std::conditional_t<(Bits & 4) != 0, int, double>;
    using C = std::conditional_t<(Bits & 2) != 0, int, double>;
    using D = std::conditional_t<(Bits & 1) != 0, int, double>;
    if constexpr (LineCompiles<A, B, C, D>) {
        // Doubles carry a fraction, so a truncation would show.
        const A a = static_cast<A>(1.25);
        const B b = static_cast<B>(2.25);
        const C c = static_cast<C>(3.25);
        const D d = static_cast<D>(4.25);
        chart.Line(a, b, c, d);
        const TkvChartItem& item = (*chart.AnnotationList().Items)[chart.AnnotationList().Count - 1];
        EXPECT_EQ(item.X, static_cast<double>(a));
        EXPECT_EQ(item.Y, static_cast<double>(b));
        EXPECT_EQ(item.X2, static_cast<double>(c));
        EXPECT_EQ(item.Y2, static_cast<double>(d));
        modes.push_back(item.Mode);
    }
    if constexpr (Bits < 15) CheckLinePattern<Bits + 1>(chart, modes);
}

TEST(Commands, ArgumentTypesGiveTheModeAndNeverTruncate)
{
    TCustomKurvo chart;
    chart.SetAnnotationMode(true);
    std::vector<int> modes;
    CheckLinePattern<0>(chart, modes);
    // Patterns in bit order (8: x1 int ... 1: y2 int): dddd, ddii, iidd, iiii.
    EXPECT_EQ(modes, (std::vector<int>{0, 2, 3, 1}));
}

// ------------------------------------------------------- every command

TkvChartItem Expected(std::uint8_t kind, std::uint8_t mode, double x, double y, double x2 = 0, double y2 = 0)
{
    TkvChartItem item{};
    item.Kind = kind;
    item.Mode = mode;
    item.X = x;
    item.Y = y;
    item.X2 = x2;
    item.Y2 = y2;
    return item;
}

void ExpectItem(const TkvChartItem& got, const TkvChartItem& want)
{
    EXPECT_EQ(got.Kind, want.Kind);
    EXPECT_EQ(got.X, want.X);
    EXPECT_EQ(got.Y, want.Y);
    EXPECT_EQ(got.X2, want.X2);
    EXPECT_EQ(got.Y2, want.Y2);
    EXPECT_EQ(got.Color, want.Color);
    EXPECT_EQ(got.FillColor, want.FillColor);
    EXPECT_EQ(got.Extra[0], want.Extra[0]);
    EXPECT_EQ(got.Extra[1], want.Extra[1]);
    EXPECT_EQ(got.PenStyle, want.PenStyle);
    EXPECT_EQ(got.Aux, want.Aux);
    EXPECT_EQ(got.LineWidth, want.LineWidth);
    EXPECT_EQ(got.Class, want.Class);
    EXPECT_EQ(got.Layer, want.Layer);
    EXPECT_EQ(got.Transparent, want.Transparent);
    EXPECT_EQ(got.Style, want.Style);
    EXPECT_EQ(got.ShortText.Str(), want.ShortText.Str());
    EXPECT_EQ(got.Size, want.Size);
    EXPECT_EQ(got.Size2, want.Size2);
    EXPECT_EQ(got.Shape, want.Shape);
    EXPECT_EQ(got.Mode, want.Mode);
}

// A drawing state far from the defaults, so that every copied field shows.
void SetDrawingState(TCustomKurvo& chart)
{
    chart.SetCurrentLayer(3);
    chart.SetClassDefault(7);
    chart.SetDataColor(0x123456);
    chart.SetFillColor(0x654321);
    chart.SetPenStyle(psDash);
    chart.SetLineWidth(3);
    chart.SetTransparentShapes(true);
    chart.TextFont().SetSize(14);
    chart.SetTextAlignment(taRightJustify);
    chart.SetTextBkStyle(tbSolid);
}

TEST(Commands, EachCommandAppendsItsItemToEitherList)
{
    using F = std::function<void(TCustomKurvo&)>;
    // What every item takes from the state; `brush` and `open` say which
    // kinds take FillColor and TransparentShapes.
    auto item = [](std::uint8_t kind, std::uint8_t mode, double x, double y, double x2 = 0, double y2 = 0) {
        TkvChartItem i = Expected(kind, mode, x, y, x2, y2);
        i.Layer = 3;
        i.Class = 7;
        i.Color = 0x123456;
        i.PenStyle = psDash;
        i.LineWidth = 3;
        const bool noBrush = kind == ikMoveTo || kind == ikMoveRel || kind == ikMark || kind == ikArc;
        i.FillColor = noBrush ? 0 : 0x654321;
        i.Transparent = kind == ikRectangle || kind == ikEllipse || kind == ikBox || kind == ikArrow ||
                        kind == ikDoubleArrow;
        return i;
    };
    auto with = [](TkvChartItem i, const std::function<void(TkvChartItem&)>& f) {
        f(i);
        return i;
    };
    const int quarter = static_cast<int>(std::lrint(std::numbers::pi / 2 * 1e8));
    struct Row {
        const char* what;
        F command;
        TkvChartItem want;  // as in the annotation list
    } rows[] = {
        {"MoveTo world", [](auto& c) { c.MoveTo(1.5, 2.5); }, item(ikMoveTo, 0, 1.5, 2.5)},
        {"MoveTo pixels", [](auto& c) { c.MoveTo(3, 4); }, item(ikMoveTo, 1, 3, 4)},
        {"DrawTo X pixel", [](auto& c) { c.DrawTo(1, 2.5); }, item(ikLineTo, 4, 1, 2.5)},
        {"DrawTo Y pixel", [](auto& c) { c.DrawTo(1.5, 2); }, item(ikLineTo, 5, 1.5, 2)},
        {"MarkAt", [](auto& c) { c.MarkAt(1.5, 2.5, 9); },
         with(item(ikMark, 0, 1.5, 2.5), [](auto& i) { i.Shape = 9, i.Size = 14; })},
        {"MarkAt pixels", [](auto& c) { c.MarkAt(3, 4, 65); },
         with(item(ikMark, 1, 3, 4), [](auto& i) { i.Shape = 65, i.Size = 14; })},
        {"Line", [](auto& c) { c.Line(1.5, 2.5, 3, 4); }, item(ikLine, 2, 1.5, 2.5, 3, 4)},
        {"Rectangle", [](auto& c) { c.Rectangle(1, 2, 3.5, 4.5); }, item(ikRectangle, 3, 1, 2, 3.5, 4.5)},
        {"RectFrame", [](auto& c) { c.RectFrame(0.5, 1.5, 2.5, 3.5, fsRaised, 0x111111, 0x222222); },
         with(item(ikFramedRect, 0, 0.5, 1.5, 2.5, 3.5), [](auto& i) { i.Style = 3, i.Extra[0] = 0x111111, i.Extra[1] = 0x222222; })},
        {"Bar3D", [](auto& c) { c.Bar3D(1.5, 2.5, 3.5, 4.5, 30, 8); },
         with(item(ikBar3D, 0, 1.5, 2.5, 3.5, 4.5), [](auto& i) { i.Size = 30, i.Size2 = 8; })},
        {"Text", [](auto& c) { c.Text(1.5, 2, "hello"); },
         with(item(ikText, 5, 1.5, 2), [](auto& i) { i.ShortText.Assign("hello"), i.LineWidth = 0, i.Size = 14, i.Size2 = 1, i.Shape = 1; })},
        {"TextOffset", [](auto& c) { c.TextOffset(1.5, 2.5, 4, -6, "x"); },
         with(item(ikOffsetText, 0, 1.5, 2.5, 4, -6), [](auto& i) { i.ShortText.Assign("x"), i.LineWidth = 0, i.Size = 14, i.Size2 = 1, i.Shape = 1; })},
        {"Ellipse", [](auto& c) { c.Ellipse(1.5, 2.5, 3.5, 4.5); }, item(ikEllipse, 0, 1.5, 2.5, 3.5, 4.5)},
        {"MoveRel", [](auto& c) { c.MoveRel(3, -4); }, item(ikMoveRel, 1, 3, -4)},
        {"DrawRel", [](auto& c) { c.DrawRel(5, 6); }, item(ikLineRel, 1, 5, 6)},
        {"Arrow", [](auto& c) { c.Arrow(1.5, 2.5, 3.5, 4.5); },
         with(item(ikArrow, 0, 1.5, 2.5, 3.5, 4.5), [](auto& i) { i.Size = 10; })},
        {"Arrow X pixels", [](auto& c) { c.Arrow(1, 2.5, 3, 4.5, 7); },
         with(item(ikArrow, 4, 1, 2.5, 3, 4.5), [](auto& i) { i.Size = 7; })},
        {"DoubleArrow Y pixels", [](auto& c) { c.DoubleArrow(1.5, 2, 3.5, 4, 0); }, item(ikDoubleArrow, 5, 1.5, 2, 3.5, 4)},
        {"Box", [](auto& c) { c.Box(1.5, 2.5, 4, 5); },
         with(item(ikBox, 0, 1.5, 2.5), [](auto& i) { i.Size = 4, i.Size2 = 5; })},
        {"ErrorBar", [](auto& c) { c.ErrorBar(1.5, 2.5, 0.5, 0.75, 9, true); },
         with(item(ikErrorBar, 0, 1.5, 2.5, 0.5, 0.75), [](auto& i) { i.Shape = 9, i.Size = 1; })},
        {"ShiftedLine", [](auto& c) { c.ShiftedLine(1.5, 2.5, 3.5, 4.5, 3, 4); },
         with(item(ikShiftedLine, 0, 1.5, 2.5, 3.5, 4.5), [](auto& i) { i.Size = 3, i.Size2 = 4; })},
        {"Arc", [](auto& c) { c.Arc(1.5, 2.5, 3.5, 4.5, 90, 450); },
         with(item(ikArc, 0, 1.5, 2.5, 3.5, 4.5), [&](auto& i) { i.Size = quarter, i.Size2 = quarter; })},
        {"Vector", [](auto& c) { c.Vector(1.5, 2.5, 7, -8); }, item(ikVector, 0, 1.5, 2.5, 7, -8)},
        {"VertLine world", [](auto& c) { c.VertLine(1.5); }, item(ikVertLine, 0, 1.5, 0)},
        {"VertLine pixel", [](auto& c) { c.VertLine(7); }, item(ikVertLine, 1, 7, 0)},
        {"HorizLine pixel", [](auto& c) { c.HorizLine(8); }, item(ikHorizLine, 1, 0, 8)},
        {"Cross world", [](auto& c) { c.Cross(1.5, 2.5, 3.5, 4.5); }, item(ikCross, 0, 1.5, 2.5, 3.5, 4.5)},
        {"Cross pixel half sizes", [](auto& c) { c.Cross(1.5, 2.5, 3, 4); }, item(ikCross, 2, 1.5, 2.5, 3, 4)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const bool annotation : {false, true}) {
            TCustomKurvo chart;
            SetDrawingState(chart);
            chart.SetAnnotationMode(annotation);
            row.command(chart);
            const TItemList& list = annotation ? chart.AnnotationList() : chart.DataList();
            const TItemList& other = annotation ? chart.DataList() : chart.AnnotationList();
            ASSERT_EQ(list.Count, 1);
            EXPECT_EQ(other.Count, 0);
            TkvChartItem want = row.want;
            if (!annotation) want.Mode = 0;  // the data list keeps world coordinates
            ExpectItem((*list.Items)[0], want);
            // Only the data list counts its kinds.
            EXPECT_EQ(chart.ItemCounter(want.Kind), annotation ? 0 : 1);
        }
    }
}

TEST(Commands, StateSettersClampAndAffectOnlyLaterItems)
{
    TCustomKurvo chart;
    chart.SetCurrentLayer(0);
    EXPECT_EQ(chart.CurrentLayer(), 1);
    chart.SetCurrentLayer(17);
    EXPECT_EQ(chart.CurrentLayer(), 16);
    chart.MoveTo(1.0, 1.0);
    chart.SetCurrentLayer(2);
    chart.DrawTo(2.0, 2.0);
    EXPECT_EQ(chart.DataItem(0).Layer, 16);
    EXPECT_EQ(chart.DataItem(1).Layer, 2);
}

// ------------------------------------------------------------ long texts

TEST(Commands, LongTextsTakeTheListsFiftyEntriesThenRaise)
{
    for (const bool annotation : {false, true}) {
        SCOPED_TRACE(annotation ? "annotation list" : "data list");
        TCustomKurvo chart;
        chart.SetAnnotationMode(annotation);
        const TItemList& list = annotation ? chart.AnnotationList() : chart.DataList();
        const TLongTextArray& texts = annotation ? chart.AnnotationLongTexts() : chart.DataLongTexts();
        chart.Text(1.0, 1.0, "seventeen bytes!!");  // 17 bytes: kept in the item
        chart.Text(1.0, 1.0, "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC");  // 9 letters, 18 bytes
        EXPECT_EQ((*list.Items)[0].LineWidth, 0);
        EXPECT_EQ((*list.Items)[0].ShortText.Str(), "seventeen bytes!!");
        EXPECT_EQ((*list.Items)[1].LineWidth, 1);
        EXPECT_EQ((*list.Items)[1].ShortText.Str(), "");
        for (int i = 2; i <= TLongTextArray::Size; ++i) chart.Text(1.0, 1.0, "a long text number " + std::to_string(i));
        EXPECT_EQ(texts.Count, 50);
        EXPECT_EQ(texts.Text(50), "a long text number 50");
        EXPECT_EQ((*list.Items)[50].LineWidth, 50);
        try {
            chart.TextOffset(1.0, 1.0, 0, 0, "one long text too many");
            ADD_FAILURE() << "no error";
        } catch (const EQornKurvoError& e) {
            EXPECT_NE(std::string(e.what()).find("50 long texts"), std::string::npos) << e.what();
        }
        EXPECT_EQ(list.Count, 51);  // nothing added
        chart.Text(1.0, 1.0, "short still fits");
        EXPECT_EQ(list.Count, 52);
    }
}

// ---------------------------------------------------------------- bulk

// Seeded points with a few non-finite values among them.
void Points(int n, unsigned seed, std::vector<double>& x, std::vector<double>& y)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    x.clear();
    y.clear();
    for (int i = 0; i < n; ++i) {
        x.push_back(i % 97 == 5 ? std::numeric_limits<double>::quiet_NaN() : value(random));
        y.push_back(i % 89 == 7 ? std::numeric_limits<double>::infinity() : value(random));
    }
}

void ExpectSameLists(const TCustomKurvo& a, const TCustomKurvo& b)
{
    for (const bool annotation : {false, true}) {
        const TItemList& la = annotation ? a.AnnotationList() : a.DataList();
        const TItemList& lb = annotation ? b.AnnotationList() : b.DataList();
        ASSERT_EQ(la.Count, lb.Count);
        for (int i = 0; i < la.Count; ++i) {
            const TkvChartItem& ia = (*la.Items)[i];
            const TkvChartItem& ib = (*lb.Items)[i];
            // NaN == NaN fails: compare the bytes of the coordinates instead.
            EXPECT_EQ(std::memcmp(&ia.X, &ib.X, sizeof(double)), 0) << i;
            EXPECT_EQ(std::memcmp(&ia.Y, &ib.Y, sizeof(double)), 0) << i;
            TkvChartItem ca = ia, cb = ib;
            ca.X = ca.Y = cb.X = cb.Y = 0;
            ExpectItem(ca, cb);
        }
    }
    for (int kind = 0; kind < ItemKindCount; ++kind) EXPECT_EQ(a.ItemCounter(kind), b.ItemCounter(kind)) << kind;
}

TEST(Commands, BulkCommandsEqualTheSingleCommandsInALoop)
{
    for (const int n : {1, 2, 999, 1000, 1025, 3000}) {
        for (const bool annotation : {false, true}) {
            SCOPED_TRACE(std::to_string(n) + (annotation ? " annotation" : " data"));
            std::vector<double> x, y;
            Points(n, static_cast<unsigned>(n), x, y);
            TCustomKurvo bulk, single;
            for (TCustomKurvo* c : {&bulk, &single}) {
                SetDrawingState(*c);
                c->SetAllocSize(1000);
                c->SetAnnotationMode(annotation);
                c->MarkAt(0.5, 0.5, 3);  // something in the list already
            }
            bulk.DrawPolyline(x, y);
            bulk.DrawMarks(x, y, 12);
            single.MoveTo(x[0], y[0]);
            for (int i = 1; i < n; ++i) single.DrawTo(x[i], y[i]);
            for (int i = 0; i < n; ++i) single.MarkAt(x[i], y[i], 12);
            ExpectSameLists(bulk, single);
            EXPECT_EQ(bulk.DataCapacity(), single.DataCapacity());
        }
    }
}

TEST(Commands, BulkCommandsRefuseSeriesOfDifferentLengths)
{
    TCustomKurvo chart;
    const std::vector<double> x{1, 2, 3};
    const std::vector<double> y{1, 2};
    EXPECT_THROW(chart.DrawPolyline(x, y), EQornKurvoError);
    EXPECT_THROW(chart.DrawMarks(x, y, 1), EQornKurvoError);
    EXPECT_EQ(chart.DataCount(), 0);
    chart.DrawPolyline(nullptr, nullptr, 5);  // nothing to draw
    chart.DrawPolyline(x.data(), x.data(), 0);
    EXPECT_EQ(chart.DataCount(), 0);
    chart.DrawPolyline(x.data(), x.data(), 3);
    EXPECT_EQ(chart.DataCount(), 3);
}

}  // namespace
}  // namespace kurvo
