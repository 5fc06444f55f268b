// kurvo-gallery: a list of pages on the left, a live chart on the right,
// one page per feature group.
//
//     kurvo-gallery                      the interactive window
//     kurvo-gallery --offscreen DIR      writes every page's picture to DIR/<page>.png
//                   [--points N]         points of the long-series page
#include "pages.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPixmap>
#include <QStackedWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using kurvo::gallery::TPage;

namespace {

int WritePictures(const std::vector<TPage>& pages, const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "kurvo-gallery: cannot create %s\n", folder.toLocal8Bit().constData());
        return 1;
    }
    for (const TPage& page : pages) {
        QWidget* widget = page.Build();
        widget->resize(800, 520);
        widget->show();
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        const QString path = folder + "/" + QString::fromStdString(page.Name) + ".png";
        const QPixmap picture = widget->grab();
        delete widget;
        if (picture.isNull() || !picture.save(path, "PNG")) {
            std::fprintf(stderr, "kurvo-gallery: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
        std::printf("%s\n", path.toLocal8Bit().constData());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QString offscreen;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--offscreen") == 0) offscreen = QString::fromLocal8Bit(argv[i + 1]);
        if (std::strcmp(argv[i], "--points") == 0) kurvo::gallery::SetLongSeriesPoints(std::atoll(argv[i + 1]));
    }
    if (!offscreen.isEmpty() && std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const std::vector<TPage> pages = kurvo::gallery::Pages();
    if (!offscreen.isEmpty()) return WritePictures(pages, offscreen);

    QWidget window;
    window.setWindowTitle("Kurvo gallery");
    window.resize(1100, 640);
    auto* layout = new QHBoxLayout(&window);
    auto* list = new QListWidget;
    auto* stack = new QStackedWidget;
    list->setMaximumWidth(260);
    for (const TPage& page : pages) {
        list->addItem(QString::fromStdString(page.Caption));
        stack->addWidget(new QWidget);  // built when first chosen: the long series takes a while
    }
    layout->addWidget(list);
    layout->addWidget(stack, 1);
    QObject::connect(list, &QListWidget::currentRowChanged, stack, [&pages, stack](int row) {
        if (row < 0) return;
        QWidget* placeholder = stack->widget(row);
        if (placeholder->property("built").toBool()) {
            stack->setCurrentIndex(row);
            return;
        }
        QWidget* page = pages[static_cast<std::size_t>(row)].Build();
        page->setProperty("built", true);
        stack->removeWidget(placeholder);
        delete placeholder;
        stack->insertWidget(row, page);
        stack->setCurrentIndex(row);
    });
    list->setCurrentRow(0);
    window.show();
    return QApplication::exec();
}
