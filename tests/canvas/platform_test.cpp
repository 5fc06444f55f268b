// The information message and the application cursors.
#include "canvas/custom_control.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace kurvo {
namespace {

TEST(InfoMessage, AnInstalledHandlerReceivesTheTextAndCanBeSwapped)
{
    std::vector<std::string> first, second;
    const TMessageHandler before = SetInfoMessageHandler([&](const std::string& t) { first.push_back(t); });
    ShowInfoMessage("one");
    const TMessageHandler old = SetInfoMessageHandler([&](const std::string& t) { second.push_back(t); });
    ShowInfoMessage("two");
    ASSERT_TRUE(static_cast<bool>(old));
    old("three");
    SetInfoMessageHandler(before);
    EXPECT_EQ(first, (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(second, (std::vector<std::string>{"two"}));
}

TEST(InfoMessage, WithoutAHandlerAModalBoxWithOneOkButtonIsShown)
{
    SetInfoMessageHandler({});
    QString text, title;
    int buttons = -1;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
    // Answers the box as soon as it is up; gives up after a few tries.
    std::function<void(int)> answer = [&](int tries) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (tries > 0) QTimer::singleShot(20, [&, tries] { answer(tries - 1); });
            return;
        }
        seen = true;
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(0, [&] { answer(100); });
    ShowInfoMessage("Charts can share data only once.");
    ASSERT_TRUE(seen);
    EXPECT_EQ(text, "Charts can share data only once.");
    EXPECT_EQ(title, QApplication::applicationName());
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, 1);
}

struct CursorRow {
    int Index;
    const char* Name;
    int HotX, HotY;
};
const CursorRow kCursors[] = {{1, "CURHAND", 12, 3}, {2, "CURZOOMW", 7, 9}, {3, "CURZOOMD", 15, 15}, {4, "CURZOOMP", 7, 8}};

TEST(Cursors, TheFourResourceCursorsRegisterWithTheirHotSpots)
{
    for (const CursorRow& row : kCursors) {
        ASSERT_TRUE(RegisterCursor(row.Index, row.Name, row.HotX, row.HotY)) << row.Name;
        EXPECT_TRUE(CursorRegistered(row.Index));
        SetScreenCursor(row.Index);
        const QCursor* shown = QGuiApplication::overrideCursor();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->shape(), Qt::BitmapCursor) << row.Name;
        EXPECT_EQ(shown->hotSpot(), QPoint(row.HotX, row.HotY)) << row.Name;
        const QImage bits = shown->bitmap().toImage();
        const QImage mask = shown->mask().toImage();
        ASSERT_EQ(bits.size(), QSize(32, 32)) << row.Name;
        ASSERT_EQ(mask.size(), QSize(32, 32)) << row.Name;
        // Every black pixel is inside the mask (none is drawn inverted), the
        // picture has both black and white, and the hot spot is on it.
        int black = 0, white = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool inMask = mask.pixelIndex(x, y) == 1;
                const bool set = bits.pixelIndex(x, y) == 1;
                EXPECT_FALSE(set && !inMask) << row.Name << " " << x << "," << y;
                black += set && inMask;
                white += !set && inMask;
            }
        EXPECT_GT(black, 40) << row.Name;
        EXPECT_GT(white, 20) << row.Name;
        EXPECT_EQ(mask.pixelIndex(row.HotX, row.HotY), 1) << row.Name;
        SetScreenCursor(crDefault);
    }
}

TEST(Cursors, AMissingResourceIsRefused)
{
    EXPECT_FALSE(RegisterCursor(7, "NO_SUCH_CURSOR", 0, 0));
    EXPECT_FALSE(CursorRegistered(7));
}

TEST(Cursors, TheScreenCursorOverridesTheApplicationCursorUntilReset)
{
    ASSERT_TRUE(RegisterCursor(1, "CURHAND", 12, 3));
    SetScreenCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetScreenCursor(crCross);
    EXPECT_EQ(ScreenCursor(), crCross);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    SetScreenCursor(1);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
    SetScreenCursor(1);
    SetScreenCursor(crDefault);
    // One override at a time: a single reset removes it.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ScreenCursor(), crDefault);
}

}  // namespace
}  // namespace kurvo
