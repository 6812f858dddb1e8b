// The spooler on Qt's PDF printer (the fallback when no print system is there): its pages are
// written by our own PDF writer, with embedded fonts and real text; an aborted job leaves the
// old file as it was. Needs poppler-utils (the set-up installs it).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "device_context.h"
#include "print_spooler.h"
#include "printer_component.h"

namespace folvek {
namespace {

QString runTool(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void drawPage(DeviceContext& dc, int page) {
    dc.saveState();
    dc.setLoEnglish();
    LogFont f;
    f.setFaceName("Courier New");
    dc.selectFont(f);
    dc.setTransparentText();
    // "Страница" in Windows-1251.
    const std::string text = "\xD1\xF2\xF0\xE0\xED\xE8\xF6\xE0 " + std::to_string(page);
    dc.drawText(text.data(), int(text.size()), Rect{100, -100, 800, -120}, 0);
    dc.selectPen(0);
    dc.moveTo(100, -130);
    dc.lineTo(700, -130);
    dc.restoreState(-1);
}

TEST(PdfPrinterSpooler, WritesThePagesWithOurWriter) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("job.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QPrinterSpooler spooler(printer);
    DeviceContext* dc = spooler.open("report.txt");
    ASSERT_NE(dc, nullptr);
    for (int page = 1; page <= 3; ++page) {
        ASSERT_TRUE(spooler.startPage());
        drawPage(*dc, page);
        ASSERT_TRUE(spooler.endPage());
    }
    ASSERT_TRUE(spooler.close());

    EXPECT_TRUE(runTool(QStringLiteral("pdfinfo"), {file})
                    .contains(QStringLiteral("Producer:        folvek")));
    EXPECT_TRUE(
        runTool(QStringLiteral("pdfinfo"), {file}).contains(QStringLiteral("Pages:           3")));
    const QString fonts = runTool(QStringLiteral("pdffonts"), {file});
    EXPECT_TRUE(fonts.contains(QStringLiteral("yes yes yes"))) << fonts.toStdString();
    const QString text = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Страница 3"))) << text.toStdString();
}

TEST(PdfPrinterSpooler, AnAbortedJobLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("job.pdf"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QPrinterSpooler spooler(printer);
    DeviceContext* dc = spooler.open("report.txt");
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(spooler.startPage());
    drawPage(*dc, 1);
    ASSERT_TRUE(spooler.endPage());
    spooler.abort();
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// The dialog's job choices reach CUPS as lp options: copies, collation, reverse order.
TEST(LpArguments, CarryCopiesCollationAndReverseOrder) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setCopyCount(3);
    printer.setCollateCopies(true);
    printer.setPageOrder(QPrinter::LastPageFirst);
    const QStringList args =
        lpArguments(printer, QStringLiteral("doc"), QStringLiteral("job.spool"));
    const QString line = args.join(QLatin1Char(' '));
    EXPECT_TRUE(line.contains(QStringLiteral("-t doc"))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("-o outputorder=reverse"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("-- job.spool")));
    // Copies only when the printer makes them itself; otherwise the job prints each pass.
    if (printer.copyCount() == 3) {
        EXPECT_TRUE(line.contains(QStringLiteral("-n 3"))) << line.toStdString();
        EXPECT_TRUE(line.contains(QStringLiteral("-o Collate=True")));
    }
}

// What the print dialog's properties page chose reaches lp as one option a pair. Only a CUPS
// print engine keeps these pairs; without one (no CUPS client library) there is nothing to check.
TEST(LpArguments, CarryThePropertiesPagesPairsOneOptionEach) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintEngine* engine = printer.printEngine();
    const auto key = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    const QStringList pairs{QStringLiteral("media"), QStringLiteral("A5"),
                            QStringLiteral("print-quality"), QStringLiteral("5"),
                            QStringLiteral("odd-one-out")};
    engine->setProperty(key, pairs);
    if (engine->property(key).toStringList() != pairs) GTEST_SKIP() << "no CUPS print engine";
    const QStringList args =
        lpArguments(printer, QStringLiteral("doc"), QStringLiteral("job.spool"));
    const QString line = args.join(QLatin1Char(' '));
    EXPECT_TRUE(line.contains(QStringLiteral("-o media=A5 -o print-quality=5 --")))
        << line.toStdString();
    EXPECT_FALSE(line.contains(QStringLiteral("A5=print-quality"))) << line.toStdString();
    EXPECT_FALSE(line.contains(QStringLiteral("odd-one-out"))) << line.toStdString();
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// A spooler whose printer the print system has dropped since it was chosen, or drops during
// the job (QPrinter keeps the queue's name and stays valid).
class DroppedPrinterSpooler : public QPrinterSpooler {
  public:
    using QPrinterSpooler::QPrinterSpooler;
    bool present = false;

  protected:
    bool printerPresent() const override { return present; }
};

TEST(PrinterGone, AJobForAPrinterThatIsGoneGetsNoDeviceAndOneLostMidwayFails) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("job.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    ASSERT_TRUE(printer.isValid());
    DroppedPrinterSpooler gone(printer);
    EXPECT_EQ(gone.open("report.txt"), nullptr);
    EXPECT_FALSE(QFile::exists(file));

    DroppedPrinterSpooler dropped(printer);
    dropped.present = true;
    DeviceContext* dc = dropped.open("report.txt");
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(dropped.startPage());
    drawPage(*dc, 1);
    ASSERT_TRUE(dropped.endPage());
    dropped.present = false;
    EXPECT_FALSE(dropped.close());
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// What the abort dialog names: a PDF is written by "PDF" into its file; a queue is named by
// the print system's description of it, and is its own port.
TEST(SpoolerNames, APdfNamesItsFileAndAQueueNamesItself) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(QStringLiteral("/tmp/report.pdf"));
    const QPrinterSpooler toFile(pdf);
    EXPECT_EQ(toFile.deviceName(), QStringLiteral("PDF"));
    EXPECT_EQ(toFile.portName(), QStringLiteral("/tmp/report.pdf"));

    const QPrinterInfo queue = QPrinterInfo::defaultPrinter();
    if (queue.isNull()) GTEST_SKIP() << "no print queue on this machine";
    QPrinter printer(queue, QPrinter::HighResolution);
    ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    const QPrinterSpooler toQueue(printer);
    const QString described = queue.description();
    EXPECT_EQ(toQueue.deviceName(), described.isEmpty() ? queue.printerName() : described);
    EXPECT_EQ(toQueue.portName(), queue.printerName());
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// Without a print system the current printer writes A4 PDF files, so that layout still has a
// page; a printer the system names is that queue.
TEST(PrinterChoice, NoPrinterMeansAnA4PdfWriterAndANamedOneIsThatQueue) {
    Printer none{QPrinterInfo()};
    EXPECT_TRUE(none.printsToFile());
    EXPECT_EQ(none.printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(none.printer().pageLayout().pageSize().id(), QPageSize::A4);

    const QPrinterInfo queue = QPrinterInfo::defaultPrinter();
    if (queue.isNull()) GTEST_SKIP() << "no print queue on this machine";
    Printer named(queue);
    EXPECT_FALSE(named.printsToFile());
    EXPECT_EQ(named.printer().printerName(), queue.printerName());
}

}  // namespace
}  // namespace folvek
