// Seeded random gestures (press, move, release, double click, wheel, keys) for
// every mouse action, over the data area, the axis bands and a legend whose
// entries clicks toggle (with the hover on), on charts with
// random linear, reversed and logarithmic ranges. After every gesture each
// layer's ranges are finite, distinct and positive on logarithmic axes, and
// the zoom history holds finite ranges.
//
//   KURVO_SOAK_SEED      first seed (default 1)
//   KURVO_SOAK_GESTURES  gestures per mouse action (default 40)
#include "chart/Qorn_kurvo.h"
#include "robust_support.h"

#include <algorithm>
#include <climits>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

namespace kurvo::robust {
namespace {

void Mouse(TKurvo& chart, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y,
           Qt::KeyboardModifiers keys)
{
    QMouseEvent event(type, QPointF(x, y), QPointF(x, y), button, held, keys);
    QCoreApplication::sendEvent(&chart, &event);
}

void Wheel(TKurvo& chart, int x, int y, int delta, Qt::KeyboardModifiers keys)
{
    QWheelEvent event(QPointF(x, y), QPointF(x, y), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&chart, &event);
}

void Key(TKurvo& chart, int key, Qt::KeyboardModifiers keys)
{
    QKeyEvent press(QEvent::KeyPress, key, keys);
    QCoreApplication::sendEvent(&chart, &press);
    QKeyEvent release(QEvent::KeyRelease, key, keys);
    QCoreApplication::sendEvent(&chart, &release);
}

// A range for one axis: ordinary, reversed, huge, tiny or logarithmic.
void RandomRange(TExtremes& x, TScaleProps& axis)
{
    const bool logarithmic = x.Below(3) == 0;
    double low, high;
    if (logarithmic) {
        low = std::ldexp(1.0, x.Below(200) - 100);
        high = low * std::ldexp(1.0, 1 + x.Below(60));
        if (x.Coin()) high = std::nextafter(low, HUGE_VAL) * (1 + 1e-15 * x.Below(4));  // nearly empty
    } else {
        const double scale = std::ldexp(1.0, x.Below(2000) - 1000);
        low = scale * (x.Below(2001) - 1000);
        high = low + scale * (1 + x.Below(1000));
    }
    if (x.Coin()) std::swap(low, high);
    axis.SetLogarithmic(false);
    axis.SetRangeLow(low);
    axis.SetRangeHigh(high);
    if (logarithmic) axis.SetLogarithmic(true);
}

// A point over the data area, the axis bands, the corners, the legend or far away.
std::pair<int, int> RandomPoint(TExtremes& x, const TKurvo& chart)
{
    const QRect legend = chart.Legend()->Geometry();
    if (!legend.isEmpty() && x.Below(5) == 0)
        return {legend.left() + x.Below(legend.width() + 2) - 1, legend.top() + x.Below(legend.height() + 2) - 1};
    switch (x.Below(6)) {
    case 0: return {x.Int(), x.Int()};
    case 1: return {x.Below(chart.Width() + 40) - 20, x.Below(chart.Height() + 40) - 20};
    default:
        return {chart.MarginLeft() + x.Below(std::max(1, chart.Width() - chart.MarginLeft() - chart.MarginRight())),
                chart.MarginTop() + x.Below(std::max(1, chart.Height() - chart.MarginTop() - chart.MarginBottom()))};
    }
}

std::string BrokenRange(TKurvo& chart)
{
    for (int layer = 1; layer <= LayerCount; ++layer) {
        for (const TScaleProps* axis : {static_cast<const TScaleProps*>(chart.ScaleX(layer)),
                                        static_cast<const TScaleProps*>(chart.ScaleY(layer))}) {
            const double lo = axis->RangeLow();
            const double hi = axis->RangeHigh();
            std::ostringstream out;
            out << "layer " << layer << (axis == chart.ScaleX(layer) ? " X " : " Y ") << lo << " ... " << hi;
            if (!std::isfinite(lo) || !std::isfinite(hi)) return out.str() + ": not finite";
            if (axis->MinRange() > 0 && lo == hi) return out.str() + ": empty";
            if (axis->Logarithmic() && !(lo > 0 && hi > 0)) return out.str() + ": not positive on a logarithmic axis";
        }
    }
    if (chart.ZoomHistoryNext() < 1 || chart.ZoomHistoryNext() > ZoomHistorySize) return "zoom history index";
    for (int slot = 1; slot <= ZoomHistorySize; ++slot) {
        const TZoomRanges& z = chart.ZoomHistory(slot, 1);
        if (!std::isfinite(z.XLow) || !std::isfinite(z.XHigh) || !std::isfinite(z.YLow) || !std::isfinite(z.YHigh))
            return "zoom history slot " + std::to_string(slot) + " not finite";
    }
    return {};
}

TEST(MouseSoak, EveryMouseActionKeepsRangesUsable)
{
    const std::uint64_t seed = EnvNumber("KURVO_SOAK_SEED", 1);
    const int gestures = static_cast<int>(EnvNumber("KURVO_SOAK_GESTURES", 40));
    constexpr Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    constexpr Qt::KeyboardModifiers keys[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier,
                                              Qt::ControlModifier, Qt::AltModifier};

    for (int action = 0; action < 19; ++action) {
        TExtremes x(seed * 1000 + static_cast<std::uint64_t>(action));
        auto chart = std::make_unique<TKurvo>();
        chart->SetBounds(0, 0, 200 + x.Below(400), 150 + x.Below(300));
        chart->HandleNeeded();
        chart->SetMouseAction(static_cast<TMouseActMode>(action));
        // Most charts take the opt-in wheel zoom and keys; the others keep the plain wheel.
        chart->SetWheelZoom(action % 4 != 3);
        chart->SetKeyboardActions(action % 4 != 3);
        for (int i = 1; i <= 4; ++i) chart->CrossHair(i)->SetMode(static_cast<TCrossHMode>(x.Below(6)));
        for (int i = 1; i <= 3; ++i) {
            chart->TextLabel(i)->SetCaption("label");
            chart->TextLabel(i)->SetMode(tlBox);
            chart->TextLabel(i)->SetVisible(true);
        }
        // Series under a legend whose entries clicks toggle, and the hover.
        for (int i = 0; i < 3; ++i) {
            TKurvoSeries* s = chart->AddSeries("series " + std::to_string(i));
            for (int k = 0; k < 200; ++k) s->Append(x.Real(), x.Real());
            s->SetStyle(static_cast<TSeriesStyle>(x.Below(8)));
        }
        chart->Legend()->SetVisible(true);
        chart->Legend()->SetPlacement(static_cast<TLegendPlacement>(x.Below(6)));
        chart->Legend()->SetClickToggles(action % 2 == 0);
        chart->SetHoverTracking(true);
        for (int g = 0; g < gestures; ++g) {
            std::ostringstream what;
            what << "KURVO_SOAK_SEED=" << seed << " action " << action << " gesture " << g << ":";
            if (x.Below(4) == 0) {
                try {
                    RandomRange(x, *chart->Scale1X());
                    RandomRange(x, *chart->Scale1Y());
                    chart->Paint();
                } catch (const EQornKurvoError&) {
                    // A setting the chart refuses is not a gesture's fault: start again from a plain range.
                    for (TScaleProps* axis : {static_cast<TScaleProps*>(chart->Scale1X()),
                                              static_cast<TScaleProps*>(chart->Scale1Y())}) {
                        axis->SetLogarithmic(false);
                        axis->SetRangeLow(0);
                        axis->SetRangeHigh(1);
                    }
                }
            }
            const Qt::MouseButton button = buttons[x.Below(4)];
            const Qt::KeyboardModifiers key = keys[x.Below(5)];
            auto [px, py] = RandomPoint(x, *chart);
            what << " press " << px << "," << py;
            Mouse(*chart, x.Below(6) == 0 ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, button, button, px,
                  py, key);
            const int moves = x.Below(8);
            for (int m = 0; m < moves; ++m) {
                // A small step from an extreme point stays an int (the test's own sum).
                const auto near = [&x](int p) {
                    return static_cast<int>(std::clamp<long long>(static_cast<long long>(p) + x.Below(41) - 20,
                                                                  INT_MIN, INT_MAX));
                };
                std::tie(px, py) = x.Below(3) == 0 ? RandomPoint(x, *chart) : std::pair{near(px), near(py)};
                what << " move " << px << "," << py;
                Mouse(*chart, QEvent::MouseMove, Qt::NoButton, x.Below(5) == 0 ? Qt::NoButton : Qt::MouseButtons(button),
                      px, py, key);
            }
            if (x.Below(4) == 0) {
                const int delta = x.Below(4) == 0 ? x.Below(481) - 240 : (x.Coin() ? 120 : -120);
                what << " wheel " << delta;
                Wheel(*chart, px, py, delta, key);
            }
            if (x.Below(3) == 0) {
                static constexpr int keyCodes[] = {Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Up,
                                                   Qt::Key_Down,   Qt::Key_Escape,    Qt::Key_Backspace};
                const int code = keyCodes[x.Below(static_cast<int>(std::size(keyCodes)))];
                what << " key " << code;
                Key(*chart, code, key);
            }
            if (x.Below(8) != 0) {
                what << " release";
                Mouse(*chart, QEvent::MouseButtonRelease, button, Qt::NoButton, px, py, key);
            }
            const std::string broken = BrokenRange(*chart);
            ASSERT_TRUE(broken.empty()) << broken << "\n" << what.str();
            if (const auto hovered = chart->HoverPoint()) {
                ASSERT_GE(chart->IndexOfSeries(hovered->Series), 0) << what.str();
                ASSERT_LT(hovered->Index, hovered->Series->Count()) << what.str();
            }
            ASSERT_NO_THROW(chart->Paint()) << what.str();
        }
    }
}

}  // namespace
}  // namespace kurvo::robust
