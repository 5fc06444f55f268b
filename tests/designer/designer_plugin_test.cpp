// The Designer plugin as Qt Designer uses it: loaded from its file, it
// names the chart's class and header for the widget box and the generated
// code, creates charts, and their properties can be edited. The test links
// no Kurvo of its own; everything comes through the plugin.
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

#include <memory>

namespace {

QDesignerCustomWidgetInterface* Plugin()
{
    static QPluginLoader loader(QStringLiteral(KURVO_DESIGNER_PLUGIN));
    QObject* instance = loader.instance();
    EXPECT_NE(instance, nullptr) << loader.errorString().toStdString();
    return qobject_cast<QDesignerCustomWidgetInterface*>(instance);
}

}  // namespace

TEST(DesignerPlugin, NamesTheChartAndItsGlobalHeader)
{
    QDesignerCustomWidgetInterface* plugin = Plugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->name(), QStringLiteral("kurvo::TKurvo"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("kurvo/kurvo.h"));
    EXPECT_FALSE(plugin->isContainer());

    // The form snippet Designer drops: a widget of the plugin's class, and
    // the header as a global include (uic writes #include <kurvo/kurvo.h>).
    const QString xml = plugin->domXml();
    EXPECT_TRUE(xml.contains(QStringLiteral("<widget class=\"kurvo::TKurvo\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<header location=\"global\">kurvo/kurvo.h</header>")));
}

TEST(DesignerPlugin, CreatesChartsWhosePropertiesChangeThePicture)
{
    QDesignerCustomWidgetInterface* plugin = Plugin();
    ASSERT_NE(plugin, nullptr);
    QWidget form;
    QWidget* chart = plugin->createWidget(&form);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->parent(), &form);
    EXPECT_STREQ(chart->metaObject()->className(), "kurvo::TKurvo");

    // As the property editor writes them: ints, QColor, QString, an enumeration by value.
    const QMetaObject* meta = chart->metaObject();
    const int pan = meta->property(meta->indexOfProperty("MouseAction")).enumerator().keyToValue("maPan");
    ASSERT_GE(pan, 0);
    EXPECT_TRUE(chart->setProperty("MarginLeft", 70));
    EXPECT_TRUE(chart->setProperty("ChartColor", QColor(Qt::red)));
    EXPECT_TRUE(chart->setProperty("Caption", QStringLiteral("from the property editor")));
    EXPECT_TRUE(chart->setProperty("MouseAction", pan));
    EXPECT_EQ(chart->property("MarginLeft").toInt(), 70);
    EXPECT_EQ(chart->property("ChartColor").value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(chart->property("Caption").toString(), QStringLiteral("from the property editor"));
    EXPECT_EQ(chart->property("MouseAction").toInt(), pan);

    // Data area x 70 ... 280, y 20 ... 160 of a 300 x 200 chart, on a form
    // that is shown, as Designer's is.
    chart->resize(300, 200);
    form.resize(320, 220);
    form.show();
    QApplication::processEvents();
    const QImage picture = chart->grab().toImage();
    EXPECT_EQ(picture.pixelColor(175, 90), QColor(Qt::red));
    EXPECT_NE(picture.pixelColor(60, 90), QColor(Qt::red));
}
