// kurvo-snapshot [--size WxH] [--ratio R] OUT: builds the demo's main window
// off-screen, shows it as the demo does after start and saves its chart
// through the chart's output calls: OUT.png, .bmp or .jpg as a picture of
// WxH pixels (the chart's size in the window by default) at device pixel
// ratio R (1 by default), OUT.pdf or OUT.svg as a vector page.
#include "app/form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int Usage(const char* program)
{
    std::fprintf(stderr, "usage: %s [--size WxH] [--ratio R] OUT.png|.bmp|.jpg|.pdf|.svg\n", program);
    return 2;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    if (text.size() < end.size()) return false;
    std::string tail = text.substr(text.size() - end.size());
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == end;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    char x = 0;
    char rest = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) == 3 && (x == 'x' || x == 'X');
}

bool ParseRatio(const std::string& text, double& ratio)
{
    char rest = 0;
    return std::sscanf(text.c_str(), "%lf%c", &ratio, &rest) == 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* program = argc > 0 ? argv[0] : "kurvo-snapshot";
    int width = 0;
    int height = 0;
    double ratio = 1.0;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], width, height)) return Usage(program);
        } else if (arg == "--ratio" && i + 1 < argc) {
            if (!ParseRatio(argv[++i], ratio)) return Usage(program);
        } else if (out.empty() && !arg.empty() && arg[0] != '-') {
            out = arg;
        } else {
            return Usage(program);
        }
    }
    if (out.empty()) return Usage(program);

    // Off-screen unless the caller chose a platform: the picture then does
    // not depend on a display or a window manager.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    TForm1 form;
    form.show();
    // Let the show, layout and paint events run.
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    try {
        kurvo::TKurvo& chart = *form.Kurvo1();
        if (EndsWith(out, ".pdf"))
            chart.SaveToPdf(out);
        else if (EndsWith(out, ".svg"))
            chart.SaveToSvg(out);
        else
            chart.SaveToImage(out, width, height, ratio);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kurvo-snapshot: %s\n", e.what());
        return 1;
    }
    return 0;
}
