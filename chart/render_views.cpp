// Line views drawn with the picture of a move to their first point and a
// line to each further one: per pixel column where the points rise in X and
// the pen allows it (see run_reduction.h; anti-aliased too), point by point
// otherwise.
#include "chart/Qorn_kurvo.h"

#include "canvas/qt_canvas.h"
#include "chart/kurvo_private.h"
#include "chart/reduction_sink.h"
#include "chart/run_reduction.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace kurvo {

namespace {

using TViewSeries = TSeriesOver<TViewXValues, TViewYValues>;

// Points per column below which finding the columns costs more than it saves.
constexpr std::int64_t kMinPointsPerColumn = 4;

}  // namespace

void TCustomKurvoPrivate::RenderLineViews(TCanvas& canvas, bool monochrome)
{
    const auto& views = LineViews().List();
    for (std::size_t k = 0; k < views.size(); ++k) {
        TLineView& v = *views[k];
        std::unique_lock<std::mutex> lock(v.Lock);
        const int layer = v.Look.Layer;
        if (!v.Error.isEmpty() || v.Pieces.empty() || layer < 1 || layer > LayerCount ||
            !FLayerVisible[static_cast<std::size_t>(layer - 1)] || !FDataClassVisible[v.Look.Class])
            continue;
        // A mapped file read past its end would fault: one that became
        // shorter is not read again.
        if (v.File && v.File->Shortened()) {
            v.Error = QStringLiteral("The sample file %1 became shorter while it was shown.").arg(v.File->File.fileName());
            PostLineViewReport(v, v.Ready, v.View.Count(), v.Error);
            continue;
        }
        RenderLineView(canvas, v, v.Look, monochrome);
    }
}

void TCustomKurvoPrivate::RenderLineView(TCanvas& canvas, const TLineView& v, const TkvChartItem& look, bool monochrome)
{
    const TLongTextArray& texts = FLongTexts[0];
    const int offsetX = FRender.OffsetX;
    const int offsetY = FRender.OffsetY;
    const int layer = look.Layer;
    if (v.Pieces.empty()) return;
    ResetUpperVectorState();
    const TKurvoSampleView& view = v.View;
    // The first point of every piece is reached by a move: a broken pen
    // and a line to it, which also sets the pen.
    const auto startPiece = [&](const TPiece& piece) {
        BreakPolyline(canvas);
        TkvChartItem item = look;
        item.X = view.X(piece.From);
        item.Y = view.Y(piece.From);
        RenderItem(canvas, item, 0, false, texts, monochrome, offsetX, offsetY);
    };
    TReductionCanvas g;
    g.Map = CanvasMap(layer);
    if (const auto* qt = dynamic_cast<const TQtCanvas*>(&canvas); qt != nullptr && qt->Image() != nullptr &&
                                                                 !qt->Image()->isNull()) {
        const QSizeF size = qt->Image()->deviceIndependentSize();
        g.Right = static_cast<int>(std::ceil(size.width())) + 1;
        g.Bottom = static_cast<int>(std::ceil(size.height())) + 1;
    }
    const double ratio = canvas.DevicePixelRatio();
    g.Fractional = ratio != std::round(ratio);
    const TPiece whole{v.Pieces.front().From, v.Pieces.back().To};
    const std::int64_t columns =
        std::abs(std::clamp(g.Map.X(view.X(whole.To - 1)), -1, g.Right) - std::clamp(g.Map.X(view.X(whole.From)), -1, g.Right)) + 1;
    const bool logX = FScaleX[static_cast<std::size_t>(layer - 1)]->Logarithmic();
    const bool logY = FScaleY[static_cast<std::size_t>(layer - 1)]->Logarithmic();
    g.Smooth = canvas.Antialiased();
    const bool reducible = FLineRunReduction && std::clamp<std::int32_t>(look.LineWidth, 1, MaxItemPenWidth) == 1 &&
                           look.PenStyle == psSolid && canvas.Pen().Mode() == pmCopy && v.XRising &&
                           (!logX || v.XMin > TCanvasMap::LogFloor) && (!logY || v.YMin > TCanvasMap::LogFloor) &&
                           whole.To - whole.From >= kMinPointsPerColumn * columns;
    if (!reducible) {
        for (const TPiece& piece : v.Pieces) {
            startPiece(piece);
            TkvChartItem item = look;
            for (std::int64_t i = piece.From + 1; i < piece.To; ++i) {
                item.X = view.X(i);
                item.Y = view.Y(i);
                RenderItem(canvas, item, 0, false, texts, monochrome, offsetX, offsetY);
            }
        }
        FlushPolyline(canvas);
        return;
    }
    startPiece(v.Pieces.front());
    const TViewXValues xs{view};
    const TViewYValues ys{view, v.Ready};
    const TViewSeries series{xs, ys, v.Pyramid};
    TPolylineSink<TViewSeries> sink{*this, canvas, FRender, g, series};
    TReductionState state;
    ReduceRisingPieces(series, g, v.Pieces.data(), v.Pieces.size(), false, sink, state);
    FlushPolyline(canvas);
}

}  // namespace kurvo
