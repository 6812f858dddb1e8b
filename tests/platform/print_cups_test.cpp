// Printing through CUPS to the test queue (tools/cups-test-env): the PDFs that reach the
// spooler, the page range, one-page documents, cancelling, a printer that went away, and the
// printer's measuring device.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <QApplication>
#include <QPushButton>

#include "abort_dialog.h"
#include "document_record.h"
#include "print_support.h"
#include "printer_component.h"
#include "window_printout.h"

namespace folvek {
namespace {

using namespace printtest;

// The dialog a person would answer: records what it was offered, then picks a range.
struct ScriptedDialog {
    int calls = 0;
    PrintDialogOffer offer;
    int from = 0, to = 0;  // 0: all pages
    bool accept = true;
    Printer::PrintDialogStep step() {
        return [this](QPrinter& printer, const PrintDialogOffer& o, QWidget*) {
            ++calls;
            offer = o;
            if (from > 0) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(from, to);
            }
            return accept;
        };
    }
};

TEST(CupsPrinting, ARangeOfAFivePageDocumentPrintsExactlyThosePages) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    coretest::ScratchDir scratch;
    Printer printer;
    const std::string token = uniqueToken("range");
    TestDocument doc(scratch, 5, token, &printer);
    ASSERT_EQ(doc.doc->pageCount, 5);

    ScriptedDialog dialog;
    dialog.from = 2;
    dialog.to = 3;
    printer.setPrintDialog(dialog.step());
    WindowPrintout printout(doc.path, nullptr, doc.doc.get());
    EXPECT_EQ(printer.print(nullptr, printout, true), PrintOutcome::Printed);
    EXPECT_EQ(dialog.calls, 1);
    EXPECT_TRUE(dialog.offer.pageNumbers);
    EXPECT_FALSE(dialog.offer.selection);
    EXPECT_EQ(dialog.offer.minPage, 1);
    EXPECT_EQ(dialog.offer.maxPage, 5);
    EXPECT_EQ(printer.lastJob().pagesPrinted, 2);
    EXPECT_EQ(doc.doc->curPage, 1);  // printing leaves the preview on the page it showed

    const QStringList pdfs = waitForPdfs(dir, token, 1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs[0]), 2);
    removePdfs(dir, token);
}

TEST(CupsPrinting, AOnePageDocumentOffersNoPageNumbersAndPrintsItsPage) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    coretest::ScratchDir scratch;
    Printer printer;
    const std::string token = uniqueToken("onepage");
    TestDocument doc(scratch, 1, token, &printer);
    ASSERT_EQ(doc.doc->pageCount, 1);

    ScriptedDialog dialog;
    printer.setPrintDialog(dialog.step());
    WindowPrintout printout(doc.path, nullptr, doc.doc.get());
    EXPECT_EQ(printer.print(nullptr, printout, true), PrintOutcome::Printed);
    EXPECT_FALSE(dialog.offer.pageNumbers);
    EXPECT_EQ(dialog.offer.minPage, 0);
    EXPECT_EQ(printer.lastJob().pagesPrinted, 1);

    const QStringList pdfs = waitForPdfs(dir, token, 1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs[0]), 1);
    removePdfs(dir, token);
}

TEST(CupsPrinting, CancellingTheDialogSendsNothing) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    coretest::ScratchDir scratch;
    Printer printer;
    const std::string token = uniqueToken("nodialog");
    TestDocument doc(scratch, 2, token, &printer);
    ScriptedDialog dialog;
    dialog.accept = false;
    printer.setPrintDialog(dialog.step());
    WindowPrintout printout(doc.path, nullptr, doc.doc.get());
    EXPECT_EQ(printer.print(nullptr, printout, true), PrintOutcome::NotStarted);
    EXPECT_EQ(printer.lastJob().pagesPrinted, 0);
}

// Presses "Отмена" once the first page is drawn.
class CancellingPrintout : public WindowPrintout {
  public:
    using WindowPrintout::WindowPrintout;
    int printed = 0;
    void printPage(int page) override {
        WindowPrintout::printPage(page);
        ++printed;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<AbortDialog*>(w); d && d->isVisible() && page == 1)
                d->cancelButton()->click();
    }
};

TEST(CupsPrinting, CancelInTheAbortDialogStopsAfterTheFirstPageAndNothingIsPrinted) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    coretest::ScratchDir scratch;
    Printer printer;
    const std::string token = uniqueToken("cancel");
    TestDocument doc(scratch, 4, token, &printer);
    CancellingPrintout printout(doc.path, nullptr, doc.doc.get());
    EXPECT_EQ(printer.print(nullptr, printout, false), PrintOutcome::Cancelled);
    EXPECT_EQ(printout.printed, 1);

    // The queue works in order: once a later job is out, the cancelled one would be too.
    const std::string marker = uniqueToken("after-cancel");
    TestDocument after(scratch, 1, marker, &printer);
    WindowPrintout markerOut(after.path, nullptr, after.doc.get());
    ASSERT_EQ(printer.print(nullptr, markerOut, false), PrintOutcome::Printed);
    ASSERT_EQ(waitForPdfs(dir, marker, 1).size(), 1);
    EXPECT_TRUE(pdfsWith(dir, token).isEmpty());
    removePdfs(dir, marker);
    removePdfs(dir, token);
}

TEST(CupsPrinting, APrinterThatWentAwayGivesNoDeviceAndRaisesAnError) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    const QString queue = QStringLiteral("FolvekTestGone_%1").arg(::getpid());
    if (QProcess::execute(QStringLiteral("lpadmin"),
                          {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"),
                           QStringLiteral("cups-pdf:/FolvekTestPDF"), QStringLiteral("-P"),
                           QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")}) != 0) {
        if (printtest::printingRequired()) FAIL() << "cannot add a queue (lpadmin needs root)";
        GTEST_SKIP() << "cannot add a queue (lpadmin needs root)";
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    Printer printer(info);
    QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue});
    ASSERT_FALSE(info.isNull());

    coretest::ScratchDir scratch;
    TestDocument doc(scratch, 2, uniqueToken("gone"), &printer);
    WindowPrintout printout(doc.path, nullptr, doc.doc.get());
    EXPECT_THROW(printer.print(nullptr, printout, false), PrintError);
    EXPECT_EQ(printer.lastJob().pagesPrinted, 0);
}

TEST(PrinterMeasuring, TheLayoutDeviceHasThePrintersPrintableAreaAndFollowsTheOrientation) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    Printer printer;
    ASSERT_TRUE(printer.hasDeviceMode());
    applyOrientation(&printer, 0);
    const QSizeF mm = printer.printer().pageLayout().paintRect(QPageLayout::Millimeter).size();
    auto portrait = printer.createLayoutDevice();
    ASSERT_NE(portrait, nullptr);
    EXPECT_EQ(portrait->deviceCaps(DeviceCap::HorzSizeMm), qRound(mm.width()));
    EXPECT_EQ(portrait->deviceCaps(DeviceCap::VertSizeMm), qRound(mm.height()));
    EXPECT_EQ(portrait->deviceCaps(DeviceCap::LogPixelsX), printer.printer().resolution());
    // Measuring started no job on the printer.
    EXPECT_EQ(printer.printer().printerState(), QPrinter::Idle);

    applyOrientation(&printer, 1);
    EXPECT_TRUE(printer.landscape());
    auto landscape = printer.createLayoutDevice();
    EXPECT_EQ(landscape->deviceCaps(DeviceCap::HorzSizeMm), qRound(mm.height()));
    EXPECT_EQ(landscape->deviceCaps(DeviceCap::VertSizeMm), qRound(mm.width()));
}

TEST(PrinterMeasuring, WithoutAPrintSystemThePrinterIsAnA4PdfPrinterThatAsksForAFile) {
    Printer printer{QPrinterInfo()};
    EXPECT_TRUE(printer.printsToFile());
    EXPECT_TRUE(printer.hasDeviceMode());
    const QSizeF paper = printer.printer().pageLayout().fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(paper.width(), 210, 0.5);
    EXPECT_NEAR(paper.height(), 297, 0.5);
    ASSERT_NE(printer.createLayoutDevice(), nullptr);

    int asked = 0;
    QString proposed;
    printer.setFileNameDialog([&](QWidget*, const QString& proposal) {
        ++asked;
        proposed = proposal;
        return QString();
    });
    coretest::ScratchDir scratch;
    TestDocument doc(scratch, 1, "pdf", &printer);
    WindowPrintout printout(doc.path, nullptr, doc.doc.get());
    EXPECT_EQ(printer.print(nullptr, printout, false), PrintOutcome::NotStarted);
    EXPECT_EQ(asked, 1);
    // The file proposed is the document's name as a PDF beside it, never ~/print.pdf; Qt's
    // print dialog makes its proposal of the job's name.
    const QFileInfo docFile(QString::fromStdString(doc.path));
    EXPECT_EQ(proposed,
              docFile.dir().filePath(docFile.completeBaseName() + QStringLiteral(".pdf")));
    EXPECT_EQ(printer.printer().docName(), docFile.completeBaseName() + QStringLiteral(".pdf"));
    EXPECT_EQ(Printer::proposedFileName("/home/u/Отчёт за май.PRN"),
              QStringLiteral("/home/u/Отчёт за май.pdf"));
    EXPECT_EQ(Printer::proposedFileName(""), QString());

    const std::string file = scratch.dir() + "out.pdf";
    printer.setFileNameDialog(
        [&](QWidget*, const QString&) { return QString::fromStdString(file); });
    TestDocument three(scratch, 3, "pdf3", &printer);
    WindowPrintout out3(three.path, nullptr, three.doc.get());
    printer.printer().setCopyCount(2);  // the PDF writer makes no copies: they are printed here
    EXPECT_EQ(printer.print(nullptr, out3, false), PrintOutcome::Printed);
    EXPECT_EQ(pdfPages(QString::fromStdString(file)), 6);
    EXPECT_EQ(printer.printer().copyCount(), 2);
}

// The print dialog's answer decides, whatever printer: cancelled, nothing is asked or written;
// confirmed, the file is asked for only when the dialog named none.
TEST(PrinterMeasuring, ThePrintDialogsAnswerDecidesWhetherAJobStarts) {
    Printer printer{QPrinterInfo()};
    coretest::ScratchDir scratch;
    TestDocument doc(scratch, 2, "dialog", &printer);
    WindowPrintout printout(doc.path, nullptr, doc.doc.get());
    int asked = 0, shown = 0;
    const std::string file = scratch.dir() + "dialog.pdf";
    printer.setFileNameDialog([&](QWidget*, const QString&) {
        ++asked;
        return QString::fromStdString(file);
    });
    printer.setPrintDialog([&](QPrinter&, const PrintDialogOffer& offer, QWidget*) {
        ++shown;
        EXPECT_EQ(offer.maxPage, 2);
        EXPECT_TRUE(offer.pageNumbers);
        return false;
    });
    EXPECT_EQ(printer.print(nullptr, printout, true), PrintOutcome::NotStarted);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));

    printer.setPrintDialog([&](QPrinter& p, const PrintDialogOffer&, QWidget*) {
        ++shown;
        p.setOutputFileName(QString::fromStdString(file));
        return true;
    });
    EXPECT_EQ(printer.print(nullptr, printout, true), PrintOutcome::Printed);
    EXPECT_EQ(asked, 0) << "the dialog named the file";
    EXPECT_EQ(pdfPages(QString::fromStdString(file)), 2);

    // A single page offers no page numbers to choose from.
    TestDocument one(scratch, 1, "one", &printer);
    WindowPrintout single(one.path, nullptr, one.doc.get());
    printer.setPrintDialog([&](QPrinter&, const PrintDialogOffer& offer, QWidget*) {
        EXPECT_FALSE(offer.pageNumbers);
        EXPECT_EQ(offer.minPage, 0);
        EXPECT_EQ(offer.maxPage, 0);
        return false;
    });
    EXPECT_EQ(printer.print(nullptr, single, true), PrintOutcome::NotStarted);
}

}  // namespace
}  // namespace folvek
