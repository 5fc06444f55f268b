// What every example shares: a QApplication, and the switch that lets the
// same program paint its window off-screen and write the picture instead of
// showing it, so that the build can run every example and see it work.
//
//     example                      shows the window until it is closed
//     example --offscreen OUT.png  paints the window off-screen into OUT.png
#pragma once

#include <QApplication>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kurvo::examples {

class TExampleApp {
public:
    TExampleApp(int& argc, char** argv) : FOutput(OffscreenOutput(argc, argv)), FApplication(argc, argv) {}

    bool Offscreen() const { return !FOutput.empty(); }

    // Shows the window and runs until it is closed, or paints it off-screen
    // and writes its picture. The exit code of the program.
    int Run(QWidget& window)
    {
        window.show();
        if (!Offscreen()) return QApplication::exec();
        // Let the show, layout and paint events run.
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        const QPixmap picture = window.grab();
        if (picture.isNull() || !picture.save(QString::fromStdString(FOutput), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", FOutput.c_str());
            return 1;
        }
        return 0;
    }

private:
    // Reads and removes "--offscreen OUT.png"; picks Qt's off-screen
    // platform before the application starts when it is given.
    static std::string OffscreenOutput(int& argc, char** argv)
    {
        for (int i = 1; i + 1 < argc; ++i) {
            if (std::strcmp(argv[i], "--offscreen") != 0) continue;
            std::string output = argv[i + 1];
            for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
            argc -= 2;
            if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
            return output;
        }
        return {};
    }

    std::string FOutput;
    QApplication FApplication;
};

}  // namespace kurvo::examples
