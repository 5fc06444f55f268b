// The Qt-typed sides of TKurvo's colour and text properties: what Qt
// Designer, .ui files and setProperty() read and write.
#include "chart/Qorn_kurvo.h"

#include "canvas/qt_interop.h"

namespace kurvo {

QColor TKurvo::QtChartColor() const { return ToQColor(ChartColor()); }
void TKurvo::SetQtChartColor(const QColor& value) { SetChartColor(FromQColor(value)); }
QColor TKurvo::QtWindColor() const { return ToQColor(WindColor()); }
void TKurvo::SetQtWindColor(const QColor& value) { SetWindColor(FromQColor(value)); }
QColor TKurvo::QtChartFrameColor() const { return ToQColor(ChartFrameColor()); }
void TKurvo::SetQtChartFrameColor(const QColor& value) { SetChartFrameColor(FromQColor(value)); }
QColor TKurvo::QtGridColor() const { return ToQColor(GridColor()); }
void TKurvo::SetQtGridColor(const QColor& value) { SetGridColor(FromQColor(value)); }
QColor TKurvo::QtShadowColor() const { return ToQColor(ShadowColor()); }
void TKurvo::SetQtShadowColor(const QColor& value) { SetShadowColor(FromQColor(value)); }
QColor TKurvo::QtDataColor() const { return ToQColor(DataColor()); }
void TKurvo::SetQtDataColor(const QColor& value) { SetDataColor(FromQColor(value)); }
QString TKurvo::QtCaption() const { return ToQString(Caption()); }
void TKurvo::SetQtCaption(const QString& value) { SetCaption(FromQString(value)); }

}  // namespace kurvo
