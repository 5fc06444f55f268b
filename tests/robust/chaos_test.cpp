// Seeded random sequences of every public setter and command with extreme
// values, each followed by a paint; paint hooks run commands of their own.
// Only EQornKurvoError and std::bad_alloc may escape; every SVG written must
// be well-formed without markup of its texts' making; a step may take
// neither more than a second of CPU time per paint it makes (setters repaint
// at once) nor hundreds of megabytes.
//
//   KURVO_CHAOS_SEED   first seed (default 1)
//   KURVO_CHAOS_RUNS   number of seeds, each a fresh chart (default 4)
//   KURVO_CHAOS_STEPS  steps per seed (default 150)
//   KURVO_CHAOS_MAX_MB allowed growth of peak memory (default 600)
//
// A failure prints the seed and the actions that led to it; the same seed
// replays the same sequence. A new command is one more line in Actions().
#include "base/errors.h"
#include "chart/Qorn_kurvo.h"
#include "robust_support.h"
#include "tests/svg_check.h"

#include <QFile>
#include <QFont>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kurvo::robust {
namespace {

// One step may take a second of its thread's CPU time in the optimised
// build, and a second more for every paint it makes: a paint of the largest
// chart takes a fifth of that, and the CPU time of the thread does not grow
// with the load of the machine the way the time on the clock does. The
// sanitizer build (unoptimised, every access checked) runs the same code
// about ten times slower, so there the limit only catches hangs; step times
// are judged by the optimised run.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kStepSeconds = 15.0;
constexpr int kDefaultMaxMegabytes = 1500;  // shadow memory and quarantine come on top
#else
constexpr double kStepSeconds = 1.0;
constexpr int kDefaultMaxMegabytes = 600;
#endif


// Paints of the charts and the axis during one step.
int gPaints = 0;

class TChaosKurvo : public TKurvo {
public:
    void RenderData(TCanvas& canvas, int offsetX, int offsetY, bool monochrome, bool skipGrid) override
    {
        ++gPaints;
        TKurvo::RenderData(canvas, offsetX, offsetY, monochrome, skipGrid);
    }
};

class TChaosScale : public TScale {
public:
    void Paint() override
    {
        ++gPaints;
        TScale::Paint();
    }
};

struct TChaos {
    explicit TChaos(std::uint64_t seed) : X(seed) {}
    TExtremes X;
    std::unique_ptr<TKurvo> Chart = std::make_unique<TChaosKurvo>();
    std::vector<std::unique_ptr<TKurvo>> Partners;  // other charts for sharing and copying
    TChaosScale Axis;
    int HookBudget = 0;   // commands the hooks may still run in this step
    bool InHook = false;  // a hook's command is running: hooks of nested paints stay idle
    std::vector<std::string> Files;                 // a good BMP, a damaged one, a missing one
    std::string Dir;                                // where exports may write

    TKurvo& C() { return *Chart; }
    // n extreme reals, now and then an array longer than any paint can walk item by item.
    std::vector<double> Reals(std::size_t n)
    {
        std::vector<double> v(n);
        for (double& d : v) d = X.Below(4) == 0 ? X.Real() : X.Below(2001) - 1000.0;
        return v;
    }
    std::size_t Count() { return static_cast<std::size_t>(X.Below(4) == 0 ? X.Below(10001) : X.Below(40)); }
    TShiftState Shift()
    {
        TShiftState shift;
        for (TShiftFlag f : {ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble})
            if (X.Below(4) == 0) shift.Include(f);
        return shift;
    }
    int Key()
    {
        static constexpr int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,
                                       Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_A, 0};
        return X.Below(6) == 0 ? X.Int() : keys[X.Below(static_cast<int>(std::size(keys)))];
    }
    // An export file: a usual name, an unknown or missing extension, a missing folder or none at all.
    std::string ExportPath(const char* extension)
    {
        switch (X.Below(6)) {
        case 0: return "";
        case 1: return Dir + "/missing/folder/chart" + extension;
        case 2: return Dir + "/chart.xyz";
        case 3: return Dir + "/chart";
        default: return Dir + "/chart" + extension;
        }
    }
    // A size or ratio no picture may have: each absurd export must be refused.
    int AbsurdSide()
    {
        static constexpr int sides[] = {-1, INT_MIN, INT_MAX, MaxExportSide + 1, 1000000};
        return sides[X.Below(static_cast<int>(std::size(sides)))];
    }
    double AbsurdRatio()
    {
        constexpr double inf = std::numeric_limits<double>::infinity();
        static constexpr double ratios[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e308, -1.0,
                                            0.0, MinDevicePixelRatio / 2, MaxDevicePixelRatio * 2, 5e-324};
        return ratios[X.Below(static_cast<int>(std::size(ratios)))];
    }
    TKurvo& Partner()
    {
        if (Partners.empty() || (Partners.size() < 3 && X.Below(4) == 0)) {
            Partners.push_back(std::make_unique<TChaosKurvo>());
            Partners.back()->HandleNeeded();  // paints only once its window exists
        }
        return *Partners[static_cast<std::size_t>(X.Below(static_cast<int>(Partners.size())))];
    }
    TScaleProps& AnyScale() { return X.Coin() ? static_cast<TScaleProps&>(*C().ScaleX(X.Layer())) : *C().ScaleY(X.Layer()); }
    TTextLabel& Label() { return *C().TextLabel(X.Below(6) == 0 ? X.Int() : 1 + X.Below(3)); }
    TCrossHair& Cross() { return *C().CrossHair(X.Below(6) == 0 ? X.Int() : 1 + X.Below(4)); }
    // Saves an SVG and reads it back as a reader would.
    void SaveSvg(const std::string& path)
    {
        C().SaveToSvg(path);
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) throw std::logic_error("the SVG just written cannot be read");
        const std::string problem = test::SvgProblem(file.readAll());
        if (!problem.empty()) throw std::logic_error("SVG " + path + ": " + problem);
    }
};

// A command from inside a paint hook: at most a few a step, none from the
// hooks of a paint it starts itself.
void Reenter(TChaos& s)
{
    if (s.InHook || s.HookBudget <= 0) return;
    --s.HookBudget;
    s.InHook = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{s.InHook};
    switch (s.X.Below(11)) {
    case 0: for (int i = 0; i < 10; ++i) s.C().DrawTo(s.X.Int(), s.X.Real()); break;
    case 1:  // a run of new attributes
        s.C().SetDataColor(s.X.Int());
        s.C().MoveTo(s.X.Below(100), s.X.Below(100));
        for (int i = 0; i < 5; ++i) s.C().DrawTo(s.X.Below(100), s.X.Below(100));
        break;
    case 2: s.C().ClearData(s.X.Coin()); break;
    case 3: s.C().ClearAnnotations(); break;
    case 4: s.C().Text(s.X.Real(), s.X.Real(), s.X.Text()); break;
    case 5: s.C().SetCaption(s.X.Text()); break;  // paints again with AutoRedraw
    case 6: s.AnyScale().SetRangeHigh(s.X.Real()); break;
    case 7: (void)s.C().ToImage(); break;  // refused during a paint
    case 8: s.SaveSvg(s.Dir + "/hook.svg"); break;
    case 9: s.Partner().SetUseDataOf(s.Chart.get()); break;
    default:  // a handler clears its own event or another one
        switch (s.X.Below(4)) {
        case 0: s.C().OnBeforeRenderChartItem = nullptr; break;
        case 1: s.C().OnBeforeRenderText = nullptr; break;
        case 2: s.C().OnDataRendered = nullptr; break;
        default: s.C().OnScaleTickDrawn = nullptr; break;
        }
        break;
    }
}

struct TAction {
    const char* Name;
    std::function<void(TChaos&)> Run;
};

// Series of the chart under test, or a pointer its calls must refuse: null,
// one it removed before (compared, never used) or another chart's.
TKurvoSeries* AnySeries(TChaos& s)
{
    static std::vector<TKurvoSeries*> removed;
    if (s.C().SeriesCount() > 0 && s.X.Below(6) != 0) return s.C().Series(s.X.Below(s.C().SeriesCount()));
    switch (s.X.Below(3)) {
    case 0: return nullptr;
    case 1: {
        TKurvoSeries* gone = s.C().AddSeries("gone");
        s.C().RemoveSeries(gone);
        removed.push_back(gone);
        return removed[static_cast<std::size_t>(s.X.Below(static_cast<int>(removed.size())))];
    }
    default:
        TKurvo& other = s.Partner();
        return other.SeriesCount() > 0 ? other.Series(0) : other.AddSeries("foreign");
    }
}

// A live series to call: this chart's, now and then another chart's.
TKurvoSeries* LiveSeries(TChaos& s)
{
    if (s.C().SeriesCount() > 0 && s.X.Below(6) != 0) return s.C().Series(s.X.Below(s.C().SeriesCount()));
    TKurvo& other = s.Partner();
    return other.SeriesCount() > 0 ? other.Series(0) : other.AddSeries("foreign");
}

QColor AnyColour(TChaos& s)
{
    return s.X.Below(5) == 0 ? QColor() : QColor::fromRgba(static_cast<QRgb>(s.X.Int()));
}

const std::vector<TAction>& Actions()
{
    static const std::vector<TAction> actions = {
        // drawing commands
        {"MoveTo", [](TChaos& s) { s.C().MoveTo(s.X.Int(), s.X.Int()); }},
        {"DrawTo", [](TChaos& s) { s.C().DrawTo(s.X.Int(), s.X.Real()); }},
        {"DrawTo x200", [](TChaos& s) { for (int i = 0; i < 200; ++i) s.C().DrawTo(s.X.Int(), s.X.Real()); }},
        {"SetAllocSize", [](TChaos& s) { s.C().SetAllocSize(s.X.Int()); }},
        {"SetClassDefault", [](TChaos& s) { s.C().SetClassDefault(s.X.Int()); }},
        {"SetDataColor", [](TChaos& s) { s.C().SetDataColor(s.X.Int()); }},
        {"SetFillColor", [](TChaos& s) { s.C().SetFillColor(s.X.Int()); }},
        {"SetPenStyle", [](TChaos& s) { s.C().SetPenStyle(s.X.Enum<TPenStyle>(7)); }},
        {"SetLineWidth", [](TChaos& s) { s.C().SetLineWidth(static_cast<std::uint8_t>(s.X.Int())); }},
        // shapes, texts and bulk commands, in world values (double) and pixels (int)
        {"MarkAt",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().MarkAt(s.X.Real(), s.X.Real(), s.X.Int());
             else s.C().MarkAt(s.X.Int(), s.X.Int(), s.X.Int());
         }},
        {"Line",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().Line(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real());
             else s.C().Line(s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int());
         }},
        {"Rectangle",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().Rectangle(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real());
             else s.C().Rectangle(s.X.Int(), s.X.Int(), s.X.Int(), s.X.Int());
         }},
        {"RectFrame",
         [](TChaos& s) {
             s.C().RectFrame(s.X.Int(), s.X.Int(), s.X.Real(), s.X.Real(), s.X.Enum<TFrameStyle>(6), s.X.Int(),
                             s.X.Int());
         }},
        {"Bar3D",
         [](TChaos& s) { s.C().Bar3D(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int()); }},
        {"Text",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().Text(s.X.Real(), s.X.Real(), s.X.Text());
             else s.C().Text(s.X.Int(), s.X.Int(), s.X.Text());
         }},
        {"TextOffset",
         [](TChaos& s) { s.C().TextOffset(s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int(), s.X.Text()); }},
        {"Ellipse", [](TChaos& s) { s.C().Ellipse(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real()); }},
        {"MoveRel", [](TChaos& s) { s.C().MoveRel(s.X.Int(), s.X.Int()); }},
        {"DrawRel", [](TChaos& s) { s.C().DrawRel(s.X.Int(), s.X.Int()); }},
        {"Arrow",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().Arrow(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Int());
             else s.C().Arrow(s.X.Int(), s.X.Real(), s.X.Int(), s.X.Real(), s.X.Int());
         }},
        {"DoubleArrow",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().DoubleArrow(s.X.Int(), s.X.Int(), s.X.Int(), s.X.Int(), s.X.Int());
             else s.C().DoubleArrow(s.X.Real(), s.X.Int(), s.X.Real(), s.X.Int(), s.X.Int());
         }},
        {"Box", [](TChaos& s) { s.C().Box(s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int()); }},
        {"ErrorBar",
         [](TChaos& s) { s.C().ErrorBar(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Int(), s.X.Coin()); }},
        {"ShiftedLine",
         [](TChaos& s) { s.C().ShiftedLine(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int()); }},
        {"Arc",
         [](TChaos& s) { s.C().Arc(s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real()); }},
        {"Vector", [](TChaos& s) { s.C().Vector(s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int()); }},
        {"VertLine",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().VertLine(s.X.Real());
             else s.C().VertLine(s.X.Int());
         }},
        {"HorizLine",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().HorizLine(s.X.Real());
             else s.C().HorizLine(s.X.Int());
         }},
        {"Cross",
         [](TChaos& s) {
             if (s.X.Coin()) s.C().Cross(s.X.Real(), s.X.Real(), s.X.Int(), s.X.Int());
             else s.C().Cross(s.X.Int(), s.X.Int(), s.X.Int(), s.X.Int());
         }},
        {"DrawPolyline",
         [](TChaos& s) {
             const std::vector<double> x = s.Reals(s.Count());
             const std::vector<double> y = s.Reals(s.X.Below(8) == 0 ? s.Count() : x.size());
             s.C().DrawPolyline(x, y);
         }},
        {"DrawPolyline null", [](TChaos& s) { s.C().DrawPolyline(nullptr, nullptr, s.Count()); }},
        {"DrawMarks",
         [](TChaos& s) {
             const std::vector<double> x = s.Reals(s.Count());
             const std::vector<double> y = s.Reals(s.X.Below(8) == 0 ? s.Count() : x.size());
             s.C().DrawMarks(x, y, s.X.Int());
         }},
        {"AppendLinePoints",
         [](TChaos& s) {
             const std::vector<double> x = s.Reals(s.Count());
             const std::vector<double> y = s.Reals(x.size());
             const std::int64_t n = s.X.Below(6) == 0 ? s.X.Int() : static_cast<std::int64_t>(x.size());
             if (n > static_cast<std::int64_t>(x.size())) return;  // a longer count would read past the arrays
             s.C().AppendLinePoints(x.data(), y.data(), n, static_cast<std::uint8_t>(s.X.Int()));
         }},
        {"SetLineRunReduction", [](TChaos& s) { s.C().SetLineRunReduction(s.X.Coin()); }},
        {"ClearData", [](TChaos& s) { s.C().ClearData(s.X.Coin()); }},
        {"ClearAnnotations", [](TChaos& s) { s.C().ClearAnnotations(); }},
        {"FitToData", [](TChaos& s) { s.C().FitToData(s.X.Below(3) == 0 ? 0 : s.X.Layer(), s.X.Real()); }},
        {"SetCurrentLayer", [](TChaos& s) { s.C().SetCurrentLayer(s.X.Layer()); }},
        {"SetAnnotationMode", [](TChaos& s) { s.C().SetAnnotationMode(s.X.Coin()); }},
        {"SetTransparentShapes", [](TChaos& s) { s.C().SetTransparentShapes(s.X.Coin()); }},
        // pictures and files: small valid sizes write, absurd ones are refused before anything is allocated
        {"ToImage",
         [](TChaos& s) {
             const QImage image =
                 s.C().ToImage(s.X.Below(401), s.X.Below(401), MinDevicePixelRatio + s.X.Below(12) * 0.25);
             (void)image;
         }},
        {"ToImage absurd",
         [](TChaos& s) {
             int w = 1 + s.X.Below(300), h = 1 + s.X.Below(300);
             double ratio = 1.0;
             switch (s.X.Below(4)) {
             case 0: w = s.AbsurdSide(); break;
             case 1: h = s.AbsurdSide(); break;
             case 2: ratio = s.AbsurdRatio(); break;
             default: w = h = MaxExportSide / 2; break;  // each side fits, the area does not
             }
             const long before = PeakMegabytes();
             EXPECT_THROW(s.C().ToImage(w, h, ratio), EQornKurvoError) << w << " x " << h << " at " << ratio;
             EXPECT_LT(PeakMegabytes() - before, 50) << w << " x " << h << " at " << ratio;
         }},
        {"SaveToImage",
         [](TChaos& s) {
             static constexpr const char* kinds[] = {".png", ".bmp", ".jpg", ".JPEG"};
             if (s.X.Below(4) == 0) {
                 EXPECT_THROW(s.C().SaveToImage(s.ExportPath(".png"), s.AbsurdSide(), 100, s.AbsurdRatio()),
                              EQornKurvoError);
                 return;
             }
             s.C().SaveToImage(s.ExportPath(kinds[s.X.Below(4)]), s.X.Below(301), s.X.Below(301),
                               s.X.Coin() ? 1.0 : 2.0);
         }},
        {"SaveToPdf",
         [](TChaos& s) {
             if (static_cast<long long>(s.C().Width()) * s.C().Height() <= 800 * 600) s.C().SaveToPdf(s.ExportPath(".pdf"));
         }},
        {"SaveToSvg",
         [](TChaos& s) {
             if (static_cast<long long>(s.C().Width()) * s.C().Height() <= 800 * 600) s.SaveSvg(s.ExportPath(".svg"));
         }},
        {"SetDevicePixelRatio",
         [](TChaos& s) { s.C().SetDevicePixelRatio(s.X.Coin() ? s.X.Real() : MinDevicePixelRatio + s.X.Below(12) * 0.25); }},
        // opt-in interactions and the control's own events
        {"SetWheelZoom", [](TChaos& s) { s.C().SetWheelZoom(s.X.Below(4) != 0); }},
        {"SetKeyboardActions", [](TChaos& s) { s.C().SetKeyboardActions(s.X.Below(4) != 0); }},
        {"UndoZoom", [](TChaos& s) { s.C().UndoZoom(); }},
        {"RedoZoom", [](TChaos& s) { s.C().RedoZoom(); }},
        {"CancelWindowFigure", [](TChaos& s) { s.C().CancelWindowFigure(); }},
        {"KeyDown",
         [](TChaos& s) {
             int key = s.Key();
             s.C().KeyDown(key, s.Shift());
             key = s.Key();
             s.C().KeyUp(key, s.Shift());
             char32_t c = static_cast<char32_t>(s.X.Int());
             s.C().KeyPress(c);
         }},
        {"DoMouseWheel",
         [](TChaos& s) { s.C().DoMouseWheel(s.Shift(), s.X.Coin() ? s.X.Int() : 120 * (s.X.Below(5) - 2), {s.X.Int(), s.X.Int()}); }},
        {"Mouse buttons",
         [](TChaos& s) {
             const TMouseButton button = s.X.Enum<TMouseButton>(3);
             s.C().MouseDown(button, s.Shift(), s.X.Int(), s.X.Int());
             s.C().MouseMove(s.Shift(), s.X.Int(), s.X.Int());
             if (s.X.Coin()) s.C().MouseUp(button, s.Shift(), s.X.Int(), s.X.Int());
         }},
        {"CanResize and Resize",
         [](TChaos& s) {
             int w = s.X.Int(), h = s.X.Int();
             s.C().CanResize(w, h);
             s.C().Resize();
         }},
        {"Drag over and drop",
         [](TChaos& s) {
             bool accept = s.X.Coin();
             s.C().DragOver(s.X.Coin() ? &s.Partner() : nullptr, s.X.Int(), s.X.Int(), s.X.Enum<TDragState>(3), accept);
             s.C().DragDrop(s.X.Coin() ? &s.Partner() : nullptr, s.X.Int(), s.X.Int());
         }},
        // layers and mapping
        {"SetLayerRanges",
         [](TChaos& s) {
             s.C().SetLayerRanges(s.X.Layer(), s.X.Coin(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Coin());
         }},
        {"ApplyLayerRange",
         [](TChaos& s) {
             s.C().ApplyLayerRange(s.X.Layer(), s.X.Coin(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real(), s.X.Coin());
         }},
        {"PushZoomHistory", [](TChaos& s) { s.C().PushZoomHistory(); }},
        {"ClearZoomHistory", [](TChaos& s) { s.C().ClearZoomHistory(); }},
        {"SetPanLimits", [](TChaos& s) { s.C().SetPanLimits({s.X.Real(), s.X.Real(), s.X.Real(), s.X.Real()}); }},
        {"SetIsometric", [](TChaos& s) { s.C().SetIsometric(s.X.Coin()); }},
        {"JointLayers X", [](TChaos& s) { s.C().JointLayers()->SetXControlledBy(s.X.Layer(), s.X.Layer()); }},
        {"JointLayers Y", [](TChaos& s) { s.C().JointLayers()->SetYControlledBy(s.X.Layer(), s.X.Layer()); }},
        {"WorldToPixel",
         [](TChaos& s) {
             int x = 0, y = 0;
             s.C().WorldToPixel(s.X.Layer(), s.X.Real(), s.X.Real(), x, y);
             double wx = 0, wy = 0;
             s.C().PixelToWorld(s.X.Layer(), s.X.Int(), s.X.Int(), wx, wy);
         }},
        // axis property objects
        {"Scale RangeLow", [](TChaos& s) { s.AnyScale().SetRangeLow(s.X.Real()); }},
        {"Scale RangeHigh", [](TChaos& s) { s.AnyScale().SetRangeHigh(s.X.Real()); }},
        {"Scale positive range",
         [](TChaos& s) {
             TScaleProps& p = s.AnyScale();
             p.SetRangeLow(s.X.Positive());
             p.SetRangeHigh(s.X.Positive());
         }},
        {"Scale MinRange", [](TChaos& s) { s.AnyScale().SetMinRange(s.X.Real()); }},
        {"Scale Logarithmic", [](TChaos& s) { s.AnyScale().SetLogarithmic(s.X.Coin()); }},
        {"Scale LabelType", [](TChaos& s) { s.AnyScale().SetLabelType(s.X.Enum<TFigType>(5)); }},
        {"Scale DecPlaces", [](TChaos& s) { s.AnyScale().SetDecPlaces(s.X.Int()); }},
        {"Scale MinTicks", [](TChaos& s) { s.AnyScale().SetMinTicks(s.X.Int()); }},
        {"Scale ShortTicks", [](TChaos& s) { s.AnyScale().SetShortTicks(s.X.Coin()); }},
        {"Scale Caption", [](TChaos& s) { s.AnyScale().SetCaption(s.X.Text()); }},
        {"Scale CaptionPos",
         [](TChaos& s) {
             s.AnyScale().SetCaptionPosX(s.X.Int());
             s.AnyScale().SetCaptionPosY(s.X.Int());
         }},
        {"Scale CaptionAlignment", [](TChaos& s) { s.AnyScale().SetCaptionAlignment(s.X.Enum<TAlignment>(3)); }},
        {"Scale CaptionAnchor", [](TChaos& s) { s.AnyScale().SetCaptionAnchor(s.X.Enum<TScaleUnitAnchor>(3)); }},
        {"Scale ColorScale", [](TChaos& s) { s.AnyScale().SetColorScale(s.X.Int()); }},
        {"Scale ScaleInscript", [](TChaos& s) { s.AnyScale().SetScaleInscript(s.X.Text()); }},
        {"Scale UserTickText", [](TChaos& s) { s.AnyScale().SetUserTickText(s.X.Text()); }},
        {"Scale ScalePos", [](TChaos& s) { s.AnyScale().SetScalePos(s.X.Int()); }},
        {"Scale Visible", [](TChaos& s) { s.AnyScale().SetVisible(s.X.Below(4) != 0); }},
        {"Scale MouseAction", [](TChaos& s) { s.AnyScale().SetMouseAction(s.X.Enum<TMouseActMode>(19)); }},
        {"ScaleX Location",
         [](TChaos& s) { s.C().ScaleX(s.X.Layer())->SetScaleLocation(s.X.Enum<TScaleLocationHoriz>(2)); }},
        {"ScaleY Location",
         [](TChaos& s) { s.C().ScaleY(s.X.Layer())->SetScaleLocation(s.X.Enum<TScaleLocationVert>(2)); }},
        {"Scale date format",
         [](TChaos& s) {
             TDTLabel& d = *s.AnyScale().DateFormat();
             d.SetTimeFormat(s.X.Enum<TTimeFormat>(3));
             d.SetDateSeparator(static_cast<char>(s.X.Int()));
             d.SetTimeSeparator(static_cast<char>(s.X.Int()));
             d.SetYearLength(s.X.Enum<TYearLength>(3));
             d.SetMonthName(s.X.Coin());
             d.SetDateOrder(s.X.Enum<TDateOrder>(3));
             d.SetDateForTime(s.X.Enum<TDateForTime>(4));
         }},
        {"Scale Font size", [](TChaos& s) { s.AnyScale().Font().SetSize(s.X.Below(3) == 0 ? s.X.Int() : s.X.Below(80)); }},
        {"SetScaleX copy", [](TChaos& s) { s.C().SetScaleX(s.X.Layer(), *s.Partner().ScaleX(s.X.Layer())); }},
        // the chart's own properties
        {"Margins",
         [](TChaos& s) {
             switch (s.X.Below(4)) {
             case 0: s.C().SetMarginLeft(s.X.Int()); break;
             case 1: s.C().SetMarginRight(s.X.Int()); break;
             case 2: s.C().SetMarginTop(s.X.Int()); break;
             default: s.C().SetMarginBottom(s.X.Int()); break;
             }
         }},
        {"SetShadowWidth", [](TChaos& s) { s.C().SetShadowWidth(s.X.Int()); }},
        {"SetShadowStyle", [](TChaos& s) { s.C().SetShadowStyle(s.X.Enum<TShadowStyle>(2)); }},
        {"Colours",
         [](TChaos& s) {
             s.C().SetShadowColor(s.X.Int());
             s.C().SetShadowBakColor(s.X.Int());
             s.C().SetChartFrameColor(s.X.Int());
             s.C().SetChartColor(s.X.Int());
             s.C().SetWindColor(s.X.Int());
             s.C().SetGridColor(s.X.Int());
         }},
        {"SetGridStyle", [](TChaos& s) { s.C().SetGridStyle(s.X.Enum<GridStyleType>(8)); }},
        {"SetGridDx", [](TChaos& s) { s.C().SetGridDx(s.X.Real()); }},
        {"SetGridDy", [](TChaos& s) { s.C().SetGridDy(s.X.Real()); }},
        {"SetCaption", [](TChaos& s) { s.C().SetCaption(s.X.Text()); }},
        {"SetCaptionTrim", [](TChaos& s) { s.C().SetCaptionTrim(s.X.Int()); }},
        {"SetCaptionPos",
         [](TChaos& s) {
             s.C().SetCaptionPosX(s.X.Int());
             s.C().SetCaptionPosY(s.X.Int());
         }},
        {"Caption anchors",
         [](TChaos& s) {
             s.C().SetCaptionAlignment(s.X.Enum<TAlignment>(3));
             s.C().SetCaptionAnchorHoriz(s.X.Enum<TCaptionAnchorHoriz>(5));
             s.C().SetCaptionAnchorVert(s.X.Enum<TCaptionAnchorVert>(5));
         }},
        {"SetStandardLayout", [](TChaos& s) { s.C().SetStandardLayout(s.X.Enum<TkvLayout>(7)); }},
        {"Text settings",
         [](TChaos& s) {
             s.C().SetTextBkColor(s.X.Int());
             s.C().SetTextBkStyle(s.X.Enum<TTextBkg>(2));
             s.C().SetTextAlignment(s.X.Enum<TAlignment>(3));
             TFontStyles styles;
             for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
                 if (s.X.Coin()) styles.Include(f);
             s.C().SetTextFontStyle(styles);
             s.C().TextFont().SetSize(s.X.Below(3) == 0 ? s.X.Int() : s.X.Below(80));
         }},
        {"Mouse settings",
         [](TChaos& s) {
             s.C().SetMouseAction(s.X.Enum<TMouseActMode>(19));
             s.C().SetMouseCursorFixed(s.X.Coin());
             s.C().SetMouseTraceColor(s.X.Int());
             s.C().SetMouseTraceInvert(s.X.Coin());
         }},
        {"Pan grid",
         [](TChaos& s) {
             s.C().SetPanGridDx(s.X.Real());
             s.C().SetPanGridDy(s.X.Real());
             s.C().SetPanGridOffsX(s.X.Real());
             s.C().SetPanGridOffsY(s.X.Real());
         }},
        {"Duplicate marks",
         [](TChaos& s) {
             s.C().SetAvoidDuplicateMarks(s.X.Coin());
             s.C().SetMinDupMarkDist(s.X.Int());
         }},
        {"SetAutoRedraw", [](TChaos& s) { s.C().SetAutoRedraw(s.X.Below(4) != 0); }},
        {"SetBounds", [](TChaos& s) { s.C().SetBounds(s.X.Int(), s.X.Int(), s.X.Int(), s.X.Int()); }},
        {"SetBounds usual", [](TChaos& s) { s.C().SetBounds(0, 0, 50 + s.X.Below(600), 50 + s.X.Below(400)); }},
        {"SetPaintSuspended", [](TChaos& s) { s.C().SetPaintSuspended(s.X.Below(4) == 0); }},
        // crosshairs and labels
        {"CrossHair position",
         [](TChaos& s) {
             s.Cross().SetPosX(s.X.Real());
             s.Cross().SetPosY(s.X.Real());
         }},
        {"CrossHair Mode", [](TChaos& s) { s.Cross().SetMode(s.X.Enum<TCrossHMode>(6)); }},
        {"CrossHair line",
         [](TChaos& s) {
             s.Cross().SetLineType(s.X.Enum<TPenStyle>(7));
             s.Cross().SetLineWid(s.X.Int());
         }},
        {"CrossHair Layer", [](TChaos& s) { s.Cross().SetLayer(s.X.Int()); }},
        {"CrossHair Color", [](TChaos& s) { s.Cross().SetColor(s.X.Int()); }},
        // One setter a step: with AutoRedraw each one paints the whole chart, and a
        // chart of the largest bitmap size takes a tenth of a second a paint.
        {"TextLabel PosX", [](TChaos& s) { s.Label().SetPosX(s.X.Real()); }},
        {"TextLabel PosY", [](TChaos& s) { s.Label().SetPosY(s.X.Real()); }},
        {"TextLabel Layer", [](TChaos& s) { s.Label().SetLayer(s.X.Layer()); }},
        {"TextLabel Shadow",
         [](TChaos& s) {
             s.Label().SetShadowDx(s.X.Int());
             s.Label().SetShadowDy(s.X.Int());
         }},
        {"TextLabel Alignment", [](TChaos& s) { s.Label().SetAlignment(s.X.Enum<TAlignment>(3)); }},
        {"TextLabel VerticalAlignment",
         [](TChaos& s) { s.Label().SetVerticalAlignment(s.X.Enum<TVerticalAlignment>(3)); }},
        {"TextLabel AttachToData", [](TChaos& s) { s.Label().SetAttachToData(s.X.Enum<TTxtLblAttachMode>(4)); }},
        {"TextLabel Transparent", [](TChaos& s) { s.Label().SetTransparent(s.X.Coin()); }},
        {"TextLabel Mode", [](TChaos& s) { s.Label().SetMode(s.X.Enum<TTxtLblMode>(5)); }},
        {"TextLabel Visible", [](TChaos& s) { s.Label().SetVisible(s.X.Below(4) != 0); }},
        {"TextLabel caption", [](TChaos& s) { s.Label().SetCaption(s.X.Text()); }},
        {"TextLabel font", [](TChaos& s) { s.Label().Font().SetSize(s.X.Below(3) == 0 ? s.X.Int() : s.X.Below(80)); }},
        {"SetCrossHair copy", [](TChaos& s) { s.C().SetCrossHair(s.X.Int(), *s.Partner().CrossHair(1)); }},
        // background image
        {"Background name",
         [](TChaos& s) {
             TBakGndImg& b = *s.C().BackGroundImg();
             b.SetIncludePath(true);
             b.SetName(s.Files[static_cast<std::size_t>(s.X.Below(static_cast<int>(s.Files.size())))]);
         }},
        {"Background modes",
         [](TChaos& s) {
             TBakGndImg& b = *s.C().BackGroundImg();
             b.SetFillMode(s.X.Enum<TBkgFill>(3));
             b.SetAreaMode(s.X.Enum<TBGAreaMode>(11));
             b.SetAreaColor(s.X.Int());
         }},
        {"Background image exported",
         [](TChaos& s) {
             TBakGndImg& b = *s.C().BackGroundImg();
             b.SetIncludePath(true);
             b.SetName(s.Files.front());
             b.SetFillMode(static_cast<TBkgFill>(s.X.Below(3)));
             if (static_cast<long long>(s.C().Width()) * s.C().Height() > 800 * 600) return;
             if (s.X.Coin())
                 s.SaveSvg(s.Dir + "/background.svg");
             else
                 s.C().SaveToPdf(s.Dir + "/background.pdf");
         }},
        {"Background area",
         [](TChaos& s) {
             TBakGndImg& b = *s.C().BackGroundImg();
             b.SetAreaLeft(s.X.Real());
             b.SetAreaRight(s.X.Real());
             b.SetAreaTop(s.X.Real());
             b.SetAreaBottom(s.X.Real());
         }},
        // data sharing and copies
        {"UseDataOf partner", [](TChaos& s) { s.C().SetUseDataOf(&s.Partner()); }},
        {"Partner uses data", [](TChaos& s) { s.Partner().SetUseDataOf(s.X.Coin() ? s.Chart.get() : &s.Partner()); }},
        {"UseDataOf none", [](TChaos& s) { s.C().SetUseDataOf(nullptr); }},
        {"Partner draws", [](TChaos& s) { for (int i = 0; i < 50; ++i) s.Partner().DrawTo(i, s.X.Real()); }},
        {"Assign from partner", [](TChaos& s) { s.C().Assign(s.Partner()); }},
        {"Assign to partner", [](TChaos& s) { s.Partner().Assign(s.C()); }},
        {"Destroy a partner",
         [](TChaos& s) {
             if (s.Partners.empty()) return;
             s.Partners.erase(s.Partners.begin() + s.X.Below(static_cast<int>(s.Partners.size())));
         }},
        {"Loaded", [](TChaos& s) { s.C().Loaded(); }},
        // paint hooks that run commands of their own
        {"Install hooks",
         [](TChaos& s) {
             TKurvo& c = s.C();
             c.OnBeforeRenderChartItem = [&s](TObject*, TkvChartItem&, int, bool) { Reenter(s); };
             c.OnBeforeRenderText = [&s](TObject*, std::string& text, int, bool) {
                 if (s.X.Below(4) == 0) text = s.X.Text();
                 Reenter(s);
             };
             c.OnBeforeRenderData = [&s](TObject*, TCanvas&, int, int) { Reenter(s); };
             c.OnDataRendered = [&s](TObject*, TCanvas&, int, int) { Reenter(s); };
             c.OnScalesRendered = [&s](TObject*, TCanvas&, int, int) { Reenter(s); };
             c.OnScaleTickDrawn = [&s](TObject*, TCanvas&, TScaleType, double, int, int) { Reenter(s); };
             c.OnBeforeTickLabel = [&s](TObject*, TScaleType, double, std::string& text) {
                 if (s.X.Below(4) == 0) text = s.X.Text();
                 Reenter(s);
             };
         }},
        {"Remove hooks",
         [](TChaos& s) {
             TKurvo& c = s.C();
             c.OnBeforeRenderChartItem = nullptr;
             c.OnBeforeRenderText = nullptr;
             c.OnBeforeRenderData = nullptr;
             c.OnDataRendered = nullptr;
             c.OnScalesRendered = nullptr;
             c.OnScaleTickDrawn = nullptr;
             c.OnBeforeTickLabel = nullptr;
         }},
        // the axis control on its own
        {"Axis range",
         [](TChaos& s) {
             s.Axis.SetRangeLow(s.X.Real());
             s.Axis.SetRangeHigh(s.X.Real());
         }},
        {"Axis settings",
         [](TChaos& s) {
             s.Axis.SetScaleType(s.X.Enum<TScaleType>(4));
             s.Axis.SetLogarithmic(s.X.Coin());
             s.Axis.SetMinTicks(s.X.Int());
             s.Axis.SetShortTicks(s.X.Coin());
             s.Axis.SetLabelType(s.X.Enum<TFigType>(5));
             s.Axis.SetDecPlaces(s.X.Int());
         }},
        {"Axis texts",
         [](TChaos& s) {
             s.Axis.SetCaption(s.X.Text());
             s.Axis.SetScaleInscript(s.X.Text());
             s.Axis.SetUserTickText(s.X.Text());
             s.Axis.SetCaptionPosX(s.X.Int());
             s.Axis.SetCaptionPosY(s.X.Int());
             s.Axis.SetCaptionAnchor(s.X.Enum<TScaleUnitAnchor>(3));
             s.Axis.SetCaptionAlignment(s.X.Enum<TAlignment>(3));
         }},
        {"Axis look",
         [](TChaos& s) {
             s.Axis.SetColorScale(s.X.Int());
             s.Axis.SetColorBackGnd(s.X.Int());
             s.Axis.SetColorScheme(s.X.Enum<TColorScheme>(2));
             s.Axis.SetFrameStyle(s.X.Enum<TFrameStyle>(6));
             s.Axis.SetShowBaseLine(s.X.Coin());
             s.Axis.SetTransparent(s.X.Coin());
         }},
        {"Axis margins",
         [](TChaos& s) {
             s.Axis.SetMarginLeft(s.X.Int());
             s.Axis.SetMarginRight(s.X.Int());
             s.Axis.SetMarginTop(s.X.Int());
             s.Axis.SetMarginBottom(s.X.Int());
         }},
        {"Axis bounds", [](TChaos& s) { s.Axis.SetBounds(s.X.Int(), s.X.Int(), s.X.Int(), s.X.Int()); }},
        {"Axis bounds usual", [](TChaos& s) { s.Axis.SetBounds(0, 0, 20 + s.X.Below(500), 20 + s.X.Below(500)); }},
        // series, legend, nearest point and hover (a removed, foreign or null
        // series must be refused, never used)
        {"AddSeries", [](TChaos& s) { s.C().AddSeries(s.X.Text(), s.X.Below(4) == 0 ? s.X.Int() : s.X.Below(17)); }},
        {"RemoveSeries", [](TChaos& s) { s.C().RemoveSeries(AnySeries(s)); }},
        {"ClearSeries", [](TChaos& s) { s.C().ClearSeries(); }},
        {"Series SetData",
         [](TChaos& s) {
             const std::size_t n = s.Count();
             if (TKurvoSeries* p = LiveSeries(s)) p->SetData(s.Reals(n), s.Reals(s.X.Below(4) == 0 ? n + 1 : n));
         }},
        {"Series Append",
         [](TChaos& s) {
             TKurvoSeries* p = LiveSeries(s);
             if (p == nullptr) return;
             if (s.X.Coin()) return p->Append(s.X.Real(), s.X.Real());
             const std::size_t n = s.Count();
             p->Append(s.Reals(n), s.Reals(s.X.Below(4) == 0 ? n + 2 : n));
         }},
        {"Series Clear", [](TChaos& s) { if (TKurvoSeries* p = LiveSeries(s)) p->Clear(); }},
        {"Series SetCapacity",
         [](TChaos& s) { if (TKurvoSeries* p = LiveSeries(s)) p->SetCapacity(s.X.Coin() ? s.X.Int() : TKurvoSeries::Unlimited); }},
        {"Series SetFollowNewest", [](TChaos& s) { if (TKurvoSeries* p = LiveSeries(s)) p->SetFollowNewest(s.X.Coin()); }},
        {"Series look",
         [](TChaos& s) {
             TKurvoSeries* p = LiveSeries(s);
             if (p == nullptr) return;
             switch (s.X.Below(10)) {
             case 0: p->SetStyle(s.X.Enum<TSeriesStyle>(10)); break;
             case 1: p->SetPen(AnyColour(s), s.X.Int(), static_cast<Qt::PenStyle>(s.X.Below(8))); break;
             case 2: p->SetBrush(AnyColour(s)); break;
             case 3: p->SetMark(s.X.Enum<TMark>(60), s.X.Coin() ? s.X.Int() : s.X.Below(40)); break;
             case 4: p->SetLayer(s.X.Below(3) == 0 ? s.X.Int() : 1 + s.X.Below(16)); break;
             case 5: p->SetVisible(s.X.Coin()); break;
             case 6: p->SetName(s.X.Text()); break;
             case 7: p->SetBaseline(s.X.Real()); break;
             case 8: p->SetBarWidth(s.X.Real()); break;
             default: p->SetFillTo(AnySeries(s)); break;
             }
         }},
        {"FitToData series", [](TChaos& s) { s.C().FitToData(AnySeries(s), s.X.Real()); }},
        {"NearestPoint", [](TChaos& s) { (void)s.C().NearestPoint(QPoint(s.X.Int(), s.X.Int()), s.X.Int()); }},
        {"Legend",
         [](TChaos& s) {
             TKurvoLegend& l = *s.C().Legend();
             switch (s.X.Below(6)) {
             case 0: l.SetVisible(s.X.Below(4) != 0); break;
             case 1: l.SetPlacement(s.X.Enum<TLegendPlacement>(8)); break;
             case 2: l.SetFrameColor(AnyColour(s)); break;
             case 3: l.SetBackgroundColor(AnyColour(s)); break;
             case 4: l.SetTextColor(AnyColour(s)); break;
             default: l.SetFont(QFont(QString::fromStdString(s.X.Text()), s.X.Below(4) == 0 ? s.X.Int() : 9)); break;
             }
         }},
        {"Legend click",
         [](TChaos& s) {
             s.C().Legend()->SetClickToggles(s.X.Below(4) != 0);
             const QRect g = s.C().Legend()->Geometry();
             const int x = g.isEmpty() ? s.X.Int() : g.left() + s.X.Below(g.width() + 1);
             const int y = g.isEmpty() ? s.X.Int() : g.top() + s.X.Below(g.height() + 1);
             s.C().MouseDown(s.X.Coin() ? mbLeft : mbRight, s.Shift(), x, y);
             // x may be any int; the nudge must not overflow in the test itself.
             const int nudge = s.X.Below(41) - 20;
             const int nx = nudge > 0 && x > INT_MAX - nudge ? x - nudge : nudge < 0 && x < INT_MIN - nudge ? x - nudge : x + nudge;
             s.C().WMMouseMove(s.Shift(), nx, y);
             s.C().MouseUp(mbLeft, s.Shift(), x, y);
         }},
        {"Hover",
         [](TChaos& s) {
             s.C().SetHoverTracking(s.X.Below(4) != 0);
             s.C().SetHoverDistance(s.X.Int());
             s.C().WMMouseMove(s.Shift(), s.X.Below(4) == 0 ? s.X.Int() : s.X.Below(320), s.X.Below(240));
         }},
    };
    return actions;
}

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes)
{
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(Chaos, RandomSettersAndCommandsNeverBreakTheChart)
{
    const std::uint64_t firstSeed = EnvNumber("KURVO_CHAOS_SEED", 1);
    const std::uint64_t runs = EnvNumber("KURVO_CHAOS_RUNS", 4);
    const std::uint64_t steps = EnvNumber("KURVO_CHAOS_STEPS", 150);
    const long maxGrowth = static_cast<long>(EnvNumber("KURVO_CHAOS_MAX_MB", kDefaultMaxMegabytes));
    const std::vector<TAction>& actions = Actions();

    QTemporaryDir dir;
    QImage tile(3, 2, QImage::Format_RGB32);
    tile.fill(Qt::blue);
    const std::string good = dir.filePath("tile.bmp").toStdString();
    ASSERT_TRUE(tile.save(QString::fromStdString(good), "BMP"));
    const std::vector<std::string> files = {good, WriteFile(dir, "bad.bmp", "BM\x10\x00garbage"),
                                            dir.filePath("missing.bmp").toStdString(), ""};
    const long baseline = PeakMegabytes();
    // The refusals of data sharing would open modal boxes.
    const TMessageHandler previous = SetInfoMessageHandler([](const std::string&) {});

    for (std::uint64_t seed = firstSeed; seed < firstSeed + runs; ++seed) {
        TChaos s(seed);
        s.Files = files;
        s.Dir = dir.path().toStdString();
        s.C().SetBounds(0, 0, 320, 240);
        s.C().HandleNeeded();
        s.Axis.SetBounds(0, 0, 200, 60);
        s.Axis.HandleNeeded();
        std::deque<std::string> recent;  // the last actions, for the failure report
        auto report = [&](std::uint64_t step) {
            std::ostringstream out;
            out << "replay with KURVO_CHAOS_SEED=" << seed << " KURVO_CHAOS_RUNS=1 KURVO_CHAOS_STEPS=" << step + 1
                << "; last actions:";
            for (const std::string& a : recent) out << "\n  " << a;
            return out.str();
        };
        for (std::uint64_t step = 0; step < steps; ++step) {
            const TAction& action = actions[static_cast<std::size_t>(s.X.Below(static_cast<int>(actions.size())))];
            recent.push_back(std::to_string(step) + ": " + action.Name);
            if (recent.size() > 12) recent.pop_front();
            s.HookBudget = 3;
            gPaints = 0;
            const double start = ThreadCpuSeconds();
            try {
                action.Run(s);
                s.C().Paint();
                if (s.X.Below(8) == 0) {
                    s.Axis.Paint();
                    for (auto& p : s.Partners) p->Paint();
                }
            } catch (const EQornKurvoError&) {
            } catch (const std::bad_alloc&) {
            } catch (const std::exception& e) {
                FAIL() << "escaped: " << e.what() << "\n" << report(step);
            }
            const double seconds = ThreadCpuSeconds() - start;
            ASSERT_LT(seconds, kStepSeconds * (1 + gPaints))
                << action.Name << " took " << seconds << " s of CPU time for " << gPaints << " paints\n" << report(step);
            const long growth = PeakMegabytes() - baseline;
            ASSERT_LT(growth, maxGrowth) << "peak memory grew by " << growth << " MB\n" << report(step);
        }
    }
    SetInfoMessageHandler(previous);
}

}  // namespace
}  // namespace kurvo::robust
