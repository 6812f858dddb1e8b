// Page export to PNG, SVG and PDF, through Qt and through our own PDF writer: a range outside
// the document is refused before anything is written; a progress callback that says stop ends
// the job after that page, with the pages already written counted and no PDF left behind; a
// folder that cannot be made and a file that cannot be written are errors; the files are named
// and sized as the paper says.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "document/layout_fakes.h"
#include "export.h"
#include "page_layout_printer.h"

namespace folvek {
namespace {

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        t.setLines({"page one", "\f", "page two", "\f", "page three"});
        t->paginate();
        ASSERT_EQ(t->pageCount, 3);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    test::TestRecord t;
    PageLayoutPrinter printer;
    QTemporaryDir dir;
};

TEST_F(ExportTest, ARangeOutsideTheDocumentWritesNothing) {
    ExportOptions options;
    options.firstPage = 4;
    for (auto* run : {exportPng, exportSvg}) {
        const ExportResult r = run(*t, printer, path("out"), options);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.pages, 0);
        EXPECT_EQ(r.error, QStringLiteral("no pages 4-0 in a document of 3 pages"));
    }
    EXPECT_FALSE(QDir(path("out")).exists());
    const ExportResult r = exportPdfQt(*t, printer, path("out.pdf"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(QFile::exists(path("out.pdf")));
}

TEST_F(ExportTest, PagesAreNamedAndSizedAsThePaper) {
    ExportOptions options;
    options.firstPage = 2;
    options.dpi = 50;
    const ExportResult r = exportPng(*t, printer, path("png"), options);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.pages, 2);
    EXPECT_EQ(QDir(path("png")).entryList(QDir::Files),
              (QStringList{QStringLiteral("page-0002.png"), QStringLiteral("page-0003.png")}));
    const QImage page(path("png/page-0003.png"));
    // A4 at 50 dpi: 210 x 297 mm.
    EXPECT_EQ(page.size(), QSize(413, 585));
    EXPECT_EQ(page.dotsPerMeterX(), 1969);
}

// The resolution runs down to one dot an inch; none given is 150. A4 is 210 x 297 mm.
TEST_F(ExportTest, TheSmallestResolutionAndTheDefault) {
    ExportOptions options;
    options.firstPage = options.lastPage = 1;
    for (const int dpi : {1, 0}) {
        SCOPED_TRACE(dpi);
        options.dpi = dpi;
        const QString png = path(dpi ? "png1" : "png0"), svg = path(dpi ? "svg1" : "svg0");
        ASSERT_TRUE(exportPng(*t, printer, png, options).ok);
        ASSERT_TRUE(exportSvg(*t, printer, svg, options).ok);
        const QSize expected = dpi ? QSize(8, 12) : QSize(1240, 1754);
        EXPECT_EQ(QImage(png + QStringLiteral("/page-0001.png")).size(), expected);
        QFile file(svg + QStringLiteral("/page-0001.svg"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString viewBox =
            QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(expected.width()).arg(expected.height());
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(viewBox)) << viewBox.toStdString();
    }
}

TEST_F(ExportTest, StoppingCountsThePagesWrittenAndLeavesNoPdf) {
    ExportOptions options;
    options.dpi = 20;
    std::vector<std::pair<int, int>> calls;
    options.progress = [&calls](int done, int total) {
        calls.emplace_back(done, total);
        return done < 2;
    };
    ExportResult r = exportPng(*t, printer, path("png"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("stopped"));
    EXPECT_EQ(r.pages, 2);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
    EXPECT_EQ(QDir(path("png")).entryList(QDir::Files).size(), 2);

    r = exportPdfQt(*t, printer, path("stopped.pdf"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("stopped"));
    EXPECT_FALSE(QFile::exists(path("stopped.pdf")));
}

TEST_F(ExportTest, AFolderThatCannotBeMadeOrAFileThatCannotBeWrittenIsAnError) {
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ExportOptions options;
    options.dpi = 20;
    ExportResult r = exportSvg(*t, printer, path("plain/svg"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("cannot create the directory ") + path("plain/svg"));

    // A directory where the first page's file would go: refused, nothing counted.
    ASSERT_TRUE(QDir().mkpath(path("png/page-0001.png")));
    r = exportPng(*t, printer, path("png"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.pages, 0);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("cannot write ") + path("png/page-0001.png")))
        << r.error.toStdString();
}

// The files of a whole export: a PDF of just the pages asked for, one page each; SVG pages
// sized by the paper at the resolution asked, with the page number as their title; PNG at
// 150 dpi when none is asked.
TEST_F(ExportTest, PdfSvgAndPngFilesHoldThePagesAskedFor) {
    ExportOptions options;
    options.firstPage = 2;
    ExportResult r = exportPdfQt(*t, printer, path("two.pdf"), options);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.pages, 2);
    QFile pdf(path("two.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(pdf.readAll());
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 2);

    options.dpi = 20;
    options.lastPage = 2;
    r = exportSvg(*t, printer, path("svg"), options);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.pages, 1);
    QFile svg(path("svg/page-0002.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(svg.readAll());
    // A4 at 20 dpi: 165.4 x 233.9 pixels.
    EXPECT_TRUE(xml.contains(QStringLiteral("viewBox=\"0 0 165 234\"")))
        << xml.left(400).toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<title>page 2</title>")));
    // The sheet is white to every edge: nothing of a dark viewer's background shows through.
    QSvgRenderer renderer(xml.toUtf8());
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(165, 234, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    renderer.render(&painter, QRectF(0, 0, 165, 234));
    painter.end();
    for (const QPoint corner : {QPoint(0, 0), QPoint(164, 0), QPoint(0, 233), QPoint(164, 233)})
        EXPECT_EQ(drawn.pixel(corner), qRgb(255, 255, 255)) << corner.x() << ", " << corner.y();

    options.dpi = 0;
    options.firstPage = options.lastPage = 3;
    r = exportPng(*t, printer, path("png"), options);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const QImage page(path("png/page-0003.png"));
    EXPECT_EQ(page.size(), QSize(1240, 1754));  // 210 x 297 mm at 150 dpi
}

// The PDF through our own writer: just the pages asked for, nothing left when stopped, a range
// outside the document refused before any file is made.
TEST_F(ExportTest, OurPdfWriterHoldsThePagesAskedForOrNothing) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "poppler-utils missing";
    auto pages = [](const QString& file) {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {file});
        p.waitForFinished(30000);
        const QString info = QString::fromUtf8(p.readAllStandardOutput());
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    ExportOptions options;
    options.firstPage = 2;
    ExportResult r = exportPdf(*t, printer, path("ours.pdf"), options);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.pages, 2);
    EXPECT_EQ(pages(path("ours.pdf")), 2);
    options.firstPage = 1;
    options.lastPage = 1;
    r = exportPdf(*t, printer, path("one.pdf"), options);
    EXPECT_EQ(pages(path("one.pdf")), 1);

    std::vector<std::pair<int, int>> calls;
    options.lastPage = 0;
    options.progress = [&calls](int done, int total) {
        calls.emplace_back(done, total);
        return done < 2;
    };
    r = exportPdf(*t, printer, path("stopped.pdf"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("stopped"));
    EXPECT_EQ(r.pages, 2);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
    EXPECT_FALSE(QFile::exists(path("stopped.pdf")));

    options.progress = {};
    options.firstPage = 4;
    r = exportPdf(*t, printer, path("none.pdf"), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("no pages 4-0 in a document of 3 pages"));
    EXPECT_FALSE(QFile::exists(path("none.pdf")));
}

}  // namespace
}  // namespace folvek
