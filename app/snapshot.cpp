// kurvo-snapshot OUT.png: builds the demo's main window off-screen, shows it
// as the demo does after start, lets it paint and writes its picture.
#include "app/form1.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argc > 0 ? argv[0] : "kurvo-snapshot");
        return 2;
    }
    // Off-screen unless the caller chose a platform: the picture then does
    // not depend on a display or a window manager.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    TForm1 form;
    form.show();
    // Let the show, layout and paint events run.
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const QPixmap picture = form.grab();
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "kurvo-snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
