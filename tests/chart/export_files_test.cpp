// The files the exports write: paths in both string types, the extensions
// each call takes, the exact size of an SVG picture, and writes that fail
// (a full disk, a folder that cannot be written, a path with a NUL): each
// raises and leaves no partial file.
#include "chart/Qorn_kurvo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <string>

using namespace kurvo;

namespace {

// One export of each kind to `path`.
const std::pair<const char*, std::function<void(TKurvo&, const QString&)>> kExports[] = {
    {".png", [](TKurvo& c, const QString& p) { c.SaveToImage(p); }},
    {".bmp", [](TKurvo& c, const QString& p) { c.SaveToImage(p); }},
    {".jpg", [](TKurvo& c, const QString& p) { c.SaveToImage(p); }},
    {".pdf", [](TKurvo& c, const QString& p) { c.SaveToPdf(p); }},
    {".svg", [](TKurvo& c, const QString& p) { c.SaveToSvg(p); }},
};

void Fill(TKurvo& chart)
{
    chart.SetCaption("files");
    chart.MoveTo(0.0, 0.0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i * 0.01, (i % 7) * 0.1);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(ExportFiles, PathsAsQStringAndUtf8TextAndTheExtensionsEachCallTakes)
{
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    const QString folder = dir.path() + "/";
    chart.SaveToImage(folder + QString::fromUtf8("gr\xc3\xa4""fik.png"));
    chart.SaveToImage((folder + "utf8-\xc3\xa4.bmp").toStdString());
    chart.SaveToImage((folder + "plain.jpg").toUtf8().constData());
    chart.SaveToPdf(folder + QString::fromUtf8("\xc3\xa4.PDF"));
    chart.SaveToPdf((folder + "std.pdf").toStdString());
    chart.SaveToSvg(folder + "q.Svg");
    chart.SaveToSvg((folder + "std.svg").toUtf8().constData());
    for (const char* name : {"gr\xc3\xa4""fik.png", "utf8-\xc3\xa4.bmp", "plain.jpg", "\xc3\xa4.PDF", "std.pdf", "q.Svg",
                             "std.svg"})
        EXPECT_GT(QFileInfo(folder + QString::fromUtf8(name)).size(), 500) << name;

    // A PDF or SVG under another name is refused, nothing is added to it.
    for (const char* name : {"chart", "chart.svg.txt", "chart.pdfx", "chart.png"}) {
        EXPECT_THROW(chart.SaveToPdf(folder + name), EQornKurvoError) << name;
        EXPECT_THROW(chart.SaveToSvg(folder + name), EQornKurvoError) << name;
    }
    EXPECT_THROW(chart.SaveToPdf(folder + "chart.svg"), EQornKurvoError);
    EXPECT_THROW(chart.SaveToSvg(folder + "chart.pdf"), EQornKurvoError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 7);
}

// The picture's size in pixels, exactly: readers at 96 pixels to the inch
// rounded the millimetres of six digits up to one pixel more.
TEST(ExportFiles, SvgHasTheChartsSizeInPixels)
{
    QTemporaryDir dir;
    for (const QSize size : {QSize(280, 200), QSize(301, 203), QSize(640, 333)}) {
        TKurvo chart;
        chart.SetBounds(0, 0, size.width(), size.height());
        const QString path = dir.filePath("c.svg");
        chart.SaveToSvg(path);
        QXmlStreamReader xml(Contents(path));
        ASSERT_TRUE(xml.readNextStartElement());
        ASSERT_EQ(xml.name(), QLatin1String("svg"));
        const QXmlStreamAttributes a = xml.attributes();
        EXPECT_EQ(a.value("width").toString(), QString::number(size.width()));
        EXPECT_EQ(a.value("height").toString(), QString::number(size.height()));
        EXPECT_EQ(a.value("viewBox").toString(), QString("0 0 %1 %2").arg(size.width()).arg(size.height()));
    }
}

// A write that fails raises and leaves what was there: no partial file, no
// temporary file, an existing file unchanged, a device not replaced.
TEST(ExportFiles, FailedWritesRaiseAndLeaveNoPartialFile)
{
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    for (const auto& [extension, save] : kExports) {
        SCOPED_TRACE(extension);
        // A full device: a link to /dev/full is written through, and fails.
        const QString link = dir.filePath(QString("full") + extension);
        ASSERT_TRUE(QFile::link("/dev/full", link));
        EXPECT_THROW(save(chart, link), EQornKurvoError);
        EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
        QFile::remove(link);

        // A full disk, as a file size limit: the old file stays as it was.
        const QString target = dir.filePath(QString("old") + extension);
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old contents");
        }
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        bool raised = false;
        try {
            save(chart, target);
        } catch (const EQornKurvoError&) {
            raised = true;
        }
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousSignal);
        EXPECT_TRUE(raised);
        EXPECT_EQ(Contents(target), "old contents");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1)
            << QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).join(", ").toStdString();
        QFile::remove(target);

        // A folder that cannot be written (the super-user writes anyway).
        const QString locked = dir.filePath("locked");
        ASSERT_TRUE(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        if (access(locked.toLocal8Bit().constData(), W_OK) != 0) {
            EXPECT_THROW(save(chart, locked + "/c" + extension), EQornKurvoError);
            EXPECT_TRUE(QDir(locked).isEmpty());
        }
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(locked).removeRecursively();
    }
    EXPECT_EQ(chart.Width(), 280);  // the chart got its own size back every time
}

// The system ends a path at a NUL: "a\0b.pdf" would overwrite "a".
TEST(ExportFiles, PathsWithANulAreRefused)
{
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    const std::string head = dir.filePath("a").toStdString();
    for (const auto& [extension, save] : kExports) {
        SCOPED_TRACE(extension);
        const std::string withNul = head + std::string(1, '\0') + "b" + extension;
        EXPECT_THROW(save(chart, QString::fromStdString(withNul)), EQornKurvoError);
    }
    const std::string pdf = head + std::string("\0b.pdf", 6);
    EXPECT_THROW(chart.SaveToPdf(pdf), EQornKurvoError);
    EXPECT_THROW(chart.SaveToSvg(head + std::string("\0b.svg", 6)), EQornKurvoError);
    EXPECT_THROW(chart.SaveToImage(head + std::string("\0b.png", 6)), EQornKurvoError);
    try {
        chart.SaveToPdf(pdf);
    } catch (const EQornKurvoError& e) {
        EXPECT_NE(std::string(e.what()).find("a\\0b.pdf\" holds a NUL character"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
