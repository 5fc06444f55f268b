#include "kurvo_designer_plugin.h"

#include <kurvo/kurvo.h>

#include <QIcon>
#include <QPainter>
#include <QPixmap>

QString TKurvoDesignerPlugin::name() const { return QStringLiteral("kurvo::TKurvo"); }

QString TKurvoDesignerPlugin::group() const { return QStringLiteral("Kurvo"); }

QString TKurvoDesignerPlugin::toolTip() const { return QStringLiteral("Interactive 2D chart"); }

QString TKurvoDesignerPlugin::whatsThis() const
{
    return QStringLiteral("A chart with 16 layers of drawing items in world coordinates, automatic axes, "
                          "pan and zoom with the mouse, crosshairs and text labels. Fill it with drawing "
                          "commands (MoveTo, DrawTo, MarkAt, ...) in code.");
}

QString TKurvoDesignerPlugin::includeFile() const { return QStringLiteral("kurvo/kurvo.h"); }

// A framed data area with a rising curve, drawn rather than shipped as a file.
QIcon TKurvoDesignerPlugin::icon() const
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 1.5, 17, 17));
    painter.setPen(QPen(Qt::red, 1.5));
    painter.drawPolyline(QPolygonF({QPointF(4, 16), QPointF(8, 11), QPointF(12, 13), QPointF(16, 6), QPointF(20, 4)}));
    return QIcon(pixmap);
}

QWidget* TKurvoDesignerPlugin::createWidget(QWidget* parent) { return new kurvo::TKurvo(parent); }

void TKurvoDesignerPlugin::initialize(QDesignerFormEditorInterface*) { FInitialized = true; }

// The header is a global one, so generated code reads #include <kurvo/kurvo.h>.
QString TKurvoDesignerPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="kurvo::TKurvo" name="chart">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>400</width><height>300</height></rect>
  </property>
 </widget>
 <customwidgets>
  <customwidget>
   <class>kurvo::TKurvo</class>
   <extends>QWidget</extends>
   <header location="global">kurvo/kurvo.h</header>
  </customwidget>
 </customwidgets>
</ui>
)");
}
