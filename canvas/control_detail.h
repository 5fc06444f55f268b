// Helpers the control base's source files share; not part of the interface.
#pragma once

#include "canvas/custom_control.h"

#include <QPoint>
#include <QPointF>
#include <Qt>

#include <exception>

namespace kurvo::detail {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// Reports an error raised while the platform delivered an event, once that
// event is over (see Guarded).
void ReportEventError(const std::exception& error);

// An exception must not travel into Qt's event loop. One raised while the
// platform delivers an event (a handler's, or an impossible axis range at
// paint time) is reported once the event is over, like any other error the
// user needs to see; further ones wait until that report is shown.
template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        ReportEventError(e);
    }
}

// A pointer position with each coordinate kept within the canvas range, so
// that sums of positions (drag distances, pans) stay within int.
inline QPoint ClampedPoint(const QPointF& p)
{
    const QPoint q = p.toPoint();
    return {ClampCanvasCoord(q.x()), ClampCanvasCoord(q.y())};
}

}  // namespace kurvo::detail
