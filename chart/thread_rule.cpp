// The debug check of the rule of threads (chart/thread_rule.h).
#include "chart/thread_rule.h"

#include "chart/display_list.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

namespace kurvo {

#ifndef NDEBUG
void CheckChartThread(const QWidget& chart, const char* call)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && chart.isVisible() && QThread::currentThread() != app->thread())
        qFatal("Kurvo: %s was called on a chart that is shown, from a thread other than the GUI thread; a chart "
               "that is shown is used on the GUI thread only.",
               call);
}
#endif

const char* CommandName(std::uint8_t kind)
{
    switch (kind) {
    case ikMark: return "MarkAt";
    case ikLine: return "Line";
    case ikLineTo: return "DrawTo";
    case ikRectangle: return "Rectangle";
    case ikFramedRect: return "RectFrame";
    case ikBar3D: return "Bar3D";
    case ikText: return "Text";
    case ikMoveTo: return "MoveTo";
    case ikEllipse: return "Ellipse";
    case ikMoveRel: return "MoveRel";
    case ikLineRel: return "DrawRel";
    case ikArrow: return "Arrow";
    case ikDoubleArrow: return "DoubleArrow";
    case ikOffsetText: return "TextOffset";
    case ikBox: return "Box";
    case ikErrorBar: return "ErrorBar";
    case ikShiftedLine: return "ShiftedLine";
    case ikArc: return "Arc";
    case ikVector: return "Vector";
    case ikVertLine: return "VertLine";
    case ikHorizLine: return "HorizLine";
    case ikCross: return "Cross";
    default: return "a drawing command";
    }
}

}  // namespace kurvo
