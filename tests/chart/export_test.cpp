// The chart's output calls: pictures at other sizes and ratios, image files,
// PDF, SVG and printer pages, and the refusals of absurd requests.
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"
#include "tests/svg_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

using namespace kurvo;

namespace {

// A chart with a curve, a caption and a text drawn by a data hook.
void Fill(TCustomKurvo& chart)
{
    chart.SetCaption("export");
    chart.Scale1X()->SetRangeHigh(100);
    chart.Scale1Y()->SetRangeLow(-5);
    chart.Scale1Y()->SetRangeHigh(5);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 100; ++i) chart.DrawTo(i, 4 * std::sin(0.2 * i));
}

bool Dark(QRgb p) { return qGray(p) < 100; }

// Counts the resize and move events Qt delivers to a widget.
class TGeometryEvents : public QObject {
public:
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move) ++Count;
        return false;
    }
};

std::string TempPath(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdString(); }

}  // namespace

TEST(ChartExport, NeverShownChartGivesItsFullPicture)
{
    TKurvo chart;
    Fill(chart);
    ASSERT_TRUE(chart.PaintSuspended());
    const QImage image = chart.ToImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(chart.Width(), chart.Height()));
    const int left = chart.MarginLeft();
    const int top = chart.MarginTop();
    const int right = chart.Width() - chart.MarginRight();
    EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFFu, 0xC0C0C0u);               // button face around
    EXPECT_EQ(image.pixel(left + 3, top + 3) & 0xFFFFFFu, 0xFFFFFFu);  // data area
    EXPECT_TRUE(Dark(image.pixel(left, top + 10)));                     // its frame
    // The curve crosses every column of the data area.
    int columnsWithCurve = 0;
    for (int x = left + 2; x < right - 2; ++x)
        for (int y = top + 2; y < chart.Height() - chart.MarginBottom() - 2; ++y)
            if (Dark(image.pixel(x, y))) {
                ++columnsWithCurve;
                break;
            }
    EXPECT_EQ(columnsWithCurve, right - 2 - (left + 2));
    EXPECT_TRUE(chart.PaintSuspended());  // exporting does not start painting the window
}

TEST(ChartExport, OtherSizeIsLaidOutOffscreenAndTheChartGetsItsOwnBack)
{
    QWidget host;
    host.resize(400, 300);
    auto* chart = new TKurvo(&host);
    chart->SetBounds(10, 20, 300, 220);
    Fill(*chart);
    host.show();
    QCoreApplication::processEvents();
    TGeometryEvents events;
    chart->installEventFilter(&events);
    std::vector<int> widths;
    chart->OnDataRendered = [&](TObject*, TCanvas& canvas, int, int) {
        widths.push_back(chart->Width());
        EXPECT_EQ(canvas.DevicePixelRatio(), widths.size() == 1 ? 2.0 : chart->DevicePixelRatio());
    };
    const QRect geometry = chart->geometry();

    const QImage image = chart->ToImage(500, 260, 2.0);

    EXPECT_EQ(image.size(), QSize(1000, 520));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(image.dotsPerMeterX(), std::lround(2 * 96 / 0.0254));
    // The right frame of the data area at its place for the asked width.
    const int frameX = 500 - chart->MarginRight() - chart->ShadowWidth();
    const int midY = 2 * (chart->MarginTop() + 20);
    EXPECT_TRUE(Dark(image.pixel(2 * frameX, midY)));
    EXPECT_TRUE(Dark(image.pixel(2 * frameX + 1, midY)));
    EXPECT_FALSE(Dark(image.pixel(2 * frameX + 2, midY)));
    // Laid out at the asked width, then repainted at its own for its bitmap.
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0], 500);
    EXPECT_EQ(widths[1], 300);
    EXPECT_EQ(chart->Width(), 300);
    EXPECT_EQ(chart->Height(), 220);
    EXPECT_EQ(chart->geometry(), geometry);
    EXPECT_EQ(TCustomKurvoPrivate::Get(*chart).ControlBitmap().Width(), 300);
    EXPECT_EQ(TCustomKurvoPrivate::Get(*chart).ControlBitmap().DevicePixelRatio(), chart->DevicePixelRatio());
    QCoreApplication::processEvents();
    EXPECT_EQ(events.Count, 0);
    chart->OnDataRendered = nullptr;
}

TEST(ChartExport, AbsurdRequestsAreRefusedBeforeAnythingIsAllocated)
{
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    const struct {
        int Width;
        int Height;
        double Ratio;
    } rows[] = {
        {-1, 0, 1.0},         {0, -5, 1.0},        {0, 0, std::nan("")}, {0, 0, 0.0},         {0, 0, -1.0},
        {0, 0, INFINITY},     {0, 0, 8.5},         {16385, 300, 1.0},    {9000, 9000, 1.0},   {5000, 5000, 2.0},
        {10, 10, 1.0},        {INT_MAX, INT_MAX, 8.0}, {INT_MAX, 200, 1.0}, {100, 100, 0.1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.Width) + " x " + std::to_string(row.Height) + " at " +
                     std::to_string(row.Ratio));
        EXPECT_THROW(chart.ToImage(row.Width, row.Height, row.Ratio), EQornKurvoError);
        EXPECT_THROW(chart.SaveToImage(TempPath(dir, "a.png"), row.Width, row.Height, row.Ratio), EQornKurvoError);
        EXPECT_EQ(chart.Width(), 280);
        EXPECT_EQ(chart.Height(), 200);
    }
    const std::string unwritable = "/nonexistent-folder/chart";
    try {
        chart.SaveToImage(TempPath(dir, "a.gif"));
        ADD_FAILURE() << "a GIF was written";
    } catch (const EQornKurvoError& e) {
        EXPECT_NE(std::string(e.what()).find("Unknown image file type \"gif\""), std::string::npos) << e.what();
    }
    EXPECT_THROW(chart.SaveToImage(TempPath(dir, "noextension")), EQornKurvoError);
    EXPECT_THROW(chart.SaveToImage(unwritable + ".png"), EQornKurvoError);
    EXPECT_THROW(chart.SaveToPdf(unwritable + ".pdf"), EQornKurvoError);
    EXPECT_THROW(chart.SaveToSvg(unwritable + ".svg"), EQornKurvoError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    // Still usable afterwards, also with margins wider than the chart: its
    // own size always exports; another one would not let the chart get its
    // own size back (SetBounds enlarges it to fit the margins).
    EXPECT_EQ(chart.ToImage().size(), QSize(280, 200));
    chart.SetMarginLeft(400);
    EXPECT_EQ(chart.ToImage(0, 0, 2.0).size(), QSize(560, 400));
    EXPECT_THROW(chart.ToImage(600, 200), EQornKurvoError);
    EXPECT_EQ(chart.Width(), 280);
}

TEST(ChartExport, ImageFilesByExtension)
{
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    const struct {
        const char* Name;
        double Ratio;
    } rows[] = {{"chart.png", 1.0}, {"chart@2x.PNG", 2.0}, {"chart.bmp", 1.5}, {"chart.jpg", 1.0}, {"chart.jpeg", 3.0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string path = TempPath(dir, row.Name);
        chart.SaveToImage(path, 0, 0, row.Ratio);
        const QImage read(QString::fromStdString(path));
        ASSERT_FALSE(read.isNull());
        EXPECT_EQ(read.size(), QSize(std::lround(280 * row.Ratio), std::lround(200 * row.Ratio)));
        // The data area's white centre survives every format.
        EXPECT_GT(qGray(read.pixel(read.width() / 2, read.height() / 5)), 200);
    }
}

// A hook that exports would lay the chart out again under its own paint.
TEST(ChartExport, ExportFromAPaintHookIsRefused)
{
    TKurvo chart;
    Fill(chart);
    std::string message;
    chart.OnDataRendered = [&](TObject*, TCanvas&, int, int) {
        if (!message.empty()) return;
        try {
            chart.ToImage(400, 300);
        } catch (const EQornKurvoError& e) {
            message = e.what();
        }
    };
    EXPECT_EQ(chart.ToImage().size(), QSize(280, 200));
    EXPECT_EQ(message, "A chart cannot be exported while it paints or exports.");
}

// PDF and printer pages are the printer's page: fonts at its resolution and
// the line forms of bitmap marks. SVG pictures and images are not.
TEST(ChartExport, PrinterPagesAreRecognised)
{
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    std::vector<bool> printer;
    chart.OnDataRendered = [&](TObject*, TCanvas& canvas, int top, int left) {
        printer.push_back(canvas.IsPrinterCanvas());
        // Hooks draw in the same coordinates as on the screen.
        EXPECT_EQ(top, chart.MarginTop());
        EXPECT_EQ(left, chart.MarginLeft());
    };
    chart.ToImage();
    chart.SaveToSvg(TempPath(dir, "c.svg"));
    chart.SaveToPdf(TempPath(dir, "c.pdf"));
    QPrinter qprinter;
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setOutputFileName(dir.filePath("printed.pdf"));
    chart.Print(qprinter);
    EXPECT_EQ(printer, (std::vector<bool>{false, false, true, true}));
    for (const char* name : {"c.svg", "c.pdf", "printed.pdf"}) EXPECT_GT(QFile(dir.filePath(name)).size(), 1000) << name;
    EXPECT_EQ(chart.Width(), 280);
    QFile svg(dir.filePath("c.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.contains("<svg"));
    EXPECT_TRUE(text.contains(">export<"));  // the caption as text
}

// Every text reaches an SVG as text, whatever it holds: the file is
// well-formed XML without an element of the text's making, and the text
// reads back as it was, less the characters XML cannot hold.
TEST(ChartExport, SvgHoldsAnyTextAsText)
{
    const struct {
        std::string Text;
        QString ReadBack;
    } rows[] = {
        {"a & b < c > \"d\" 'e'", "a & b < c > \"d\" 'e'"},
        {"</title><script>alert(1)</script><title>", "</title><script>alert(1)</script><title>"},
        {"]]><x/><!--", "]]><x/><!--"},
        {"&amp;&#1;", "&amp;&#1;"},
        {"x\x01y\x1Fz", "xyz"},
        {std::string("nul\0byte", 8), "nulbyte"},
        {"\xef\xbf\xbe\xef\xbf\xbf" "end", "end"},  // U+FFFE U+FFFF
    };
    QTemporaryDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ReadBack.toStdString());
        TKurvo chart;
        chart.SetBounds(0, 0, 400, 300);
        chart.SetCaptionTrim(0);
        chart.SetCaption(row.Text);
        chart.Scale1X()->SetCaption(row.Text);
        chart.Scale1Y()->SetScaleInscript(row.Text);
        chart.Scale1X()->SetLabelType(ftUserText);
        chart.Scale1X()->SetUserTickText(row.Text + "|" + row.Text);
        chart.TextFont().SetName(row.Text);
        chart.Text(50.0, 0.5, row.Text);
        chart.TextLabel(1)->SetCaption(row.Text);
        chart.TextLabel(1)->SetMode(tlBox);
        chart.TextLabel(1)->SetVisible(true);
        const std::string path = TempPath(dir, "c.svg");
        chart.SaveToSvg(path);
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString title;
        QStringList texts;
        EXPECT_EQ(test::SvgProblem(file.readAll(), &title, &texts), "");
        EXPECT_EQ(title, row.ReadBack);
        // Caption, axis caption, text item and label.
        EXPECT_GE(texts.count(row.ReadBack), 4) << texts.join(" | ").toStdString();
    }
}

// The PDF rendered back by pdftoppm shows what the raster picture shows:
// nearly every dark pixel of one lies within two pixels of the other's.
TEST(ChartExport, PdfRendersLikeThePicture)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    TKurvo chart;
    Fill(chart);
    chart.SaveToPdf(TempPath(dir, "c.pdf"));
    QProcess process;
    process.start(pdftoppm, {"-r", "96", "-png", "-singlefile", dir.filePath("c.pdf"), dir.filePath("page")});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage page = QImage(dir.filePath("page.png")).convertToFormat(QImage::Format_RGB32);
    const QImage picture = chart.ToImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(page.size(), picture.size());

    const auto nearInk = [](const QImage& image, int x, int y) {
        for (int j = -2; j <= 2; ++j)
            for (int i = -2; i <= 2; ++i)
                if (image.valid(x + i, y + j) && Dark(image.pixel(x + i, y + j))) return true;
        return false;
    };
    int inkPage = 0, matchedPage = 0, inkPicture = 0, matchedPicture = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            if (Dark(page.pixel(x, y))) {
                ++inkPage;
                matchedPage += nearInk(picture, x, y) ? 1 : 0;
            }
            if (Dark(picture.pixel(x, y))) {
                ++inkPicture;
                matchedPicture += nearInk(page, x, y) ? 1 : 0;
            }
        }
    EXPECT_GT(inkPage, 600);  // curve, frame, ticks, labels and caption
    EXPECT_GE(matchedPage, inkPage * 95 / 100) << matchedPage << " of " << inkPage;
    EXPECT_GE(matchedPicture, inkPicture * 95 / 100) << matchedPicture << " of " << inkPicture;
}

// The painter outputs have no image of their own to tile onto: every fill
// mode of the background image draws there as in the picture.
TEST(ChartExport, BackgroundImageInEveryFillModeThroughAPainter)
{
    QTemporaryDir dir;
    QImage tile(7, 5, QImage::Format_RGB32);
    tile.fill(QColor(0, 0, 255));
    tile.setPixelColor(3, 2, QColor(255, 0, 0));
    const std::string bmp = TempPath(dir, "tile.bmp");
    ASSERT_TRUE(tile.save(QString::fromStdString(bmp), "BMP"));
    for (const TBkgFill mode : {bfSimple, bfStretch, bfTile}) {
        SCOPED_TRACE(static_cast<int>(mode));
        TKurvo chart;
        chart.BackGroundImg()->SetIncludePath(true);
        chart.BackGroundImg()->SetName(bmp);
        chart.BackGroundImg()->SetFillMode(mode);
        const QImage picture = chart.ToImage().convertToFormat(QImage::Format_RGB32);
        QImage painted(picture.size(), QImage::Format_RGB32);
        painted.fill(Qt::black);
        {
            QPainter painter(&painted);
            chart.PaintTo(painter);
        }
        int different = 0, red = 0;
        for (int y = chart.MarginTop() + 1; y < chart.Height() - chart.MarginBottom(); ++y)
            for (int x = chart.MarginLeft() + 1; x < chart.Width() - chart.MarginRight(); ++x) {
                different += painted.pixel(x, y) != picture.pixel(x, y) ? 1 : 0;
                red += painted.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
            }
        EXPECT_EQ(different, 0);
        EXPECT_GT(red, 0);
        EXPECT_NO_THROW(chart.SaveToSvg(TempPath(dir, "c.svg")));
        EXPECT_NO_THROW(chart.SaveToPdf(TempPath(dir, "c.pdf")));
    }
}

// A printed chart keeps its aspect ratio, centred on the printable area,
// unless it is asked to fill the area: the page rendered back shows the
// chart's grey surround as a box of the right shape and place.
TEST(ChartExport, PrintKeepsTheAspectCentredOrFillsThePage)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    for (const TPrintLayout layout : {plKeepAspect, plFillPage}) {
        for (const QSize own : {QSize(600, 150), QSize(150, 600)}) {
            SCOPED_TRACE(std::to_string(layout) + ": " + std::to_string(own.width()) + " x " + std::to_string(own.height()));
            TKurvo chart;
            chart.SetBounds(0, 0, own.width(), own.height());
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("p.pdf"));
            printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
            chart.Print(printer, layout);
            EXPECT_EQ(chart.Width(), own.width());
            QProcess process;
            process.start(pdftoppm, {"-r", "48", "-png", "-singlefile", dir.filePath("p.pdf"), dir.filePath("page")});
            ASSERT_TRUE(process.waitForFinished(60000));
            const QImage page(dir.filePath("page.png"));
            ASSERT_FALSE(page.isNull());
            QRect box;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (qGray(page.pixel(x, y)) < 250) box |= QRect(x, y, 1, 1);
            // The printable area at 48 dpi: 20 mm margins of 38 pixels.
            const QRect area = QRect(QPoint(0, 0), page.size()).adjusted(38, 38, -38, -38);
            if (layout == plFillPage) {
                EXPECT_NEAR(box.left(), area.left(), 2);
                EXPECT_NEAR(box.right(), area.right(), 2);
                EXPECT_NEAR(box.top(), area.top(), 2);
                EXPECT_NEAR(box.bottom(), area.bottom(), 2);
                continue;
            }
            EXPECT_NEAR(static_cast<double>(box.width()) / box.height(),
                        static_cast<double>(own.width()) / own.height(), 0.05);
            EXPECT_NEAR(box.left() - area.left(), area.right() - box.right(), 2);
            EXPECT_NEAR(box.top() - area.top(), area.bottom() - box.bottom(), 2);
            EXPECT_TRUE(std::abs(box.width() - area.width()) <= 2 || std::abs(box.height() - area.height()) <= 2);
        }
    }
}

TEST(ChartExport, TakesItsShareOfALayout)
{
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* label = new QLabel("above");
    auto* chart = new TKurvo;
    layout->addWidget(label);
    layout->addWidget(chart);
    host.resize(600, 500);
    host.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(chart->minimumSizeHint(), chart->SmallestSize());
    EXPECT_GT(chart->height(), 500 - 2 * label->sizeHint().height() - 40);
    EXPECT_EQ(chart->Height(), chart->height());
    EXPECT_GT(chart->Width(), 500);
}
