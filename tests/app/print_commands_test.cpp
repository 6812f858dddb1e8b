// The print commands and the batch printing: messages, the printing flag, the fallback from
// printing on the current printer to the dialog, and what is laid out again afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinterInfo>
#include <QPushButton>

#include "abort_dialog.h"
#include "document_record.h"
#include "platform/print_support.h"
#include "print_commands.h"
#include "printer_component.h"
#include "shell_state.h"

namespace folvek {
namespace {

using namespace printtest;

// The system's default printer, or none at all (Qt's PDF printer stands in).
QPrinterInfo printerFor(bool noDefault) {
    return noDefault ? QPrinterInfo() : QPrinterInfo::defaultPrinter();
}

struct Harness {
    explicit Harness(int pages, const std::string& token, bool noDefaultPrinter = false)
        : printer(printerFor(noDefaultPrinter)), doc(scratch, pages, token, &printer) {
        ctx.documentPath = doc.path;
        ctx.window = nullptr;
        ctx.printer = &printer;
        ctx.document = doc.doc.get();
        ctx.shell = &shell;
        ctx.messages = &messages;
        ctx.relayout = [this] {
            ++relayouts;
            doc.doc->paginate();
        };
        ctx.postExit = [this] { ++exits; };
        printer.setPrintDialog([this](QPrinter&, const PrintDialogOffer&, QWidget*) {
            ++dialogs;
            printingDuringDialog = shell.printing;
            return false;
        });
        // Without a system printer the printer is Qt's PDF printer, which asks for a file name
        // with every job; answer it here so that no test depends on this machine's printers.
        printer.setFileNameDialog([this](QWidget*, const QString&) {
            return QString::fromStdString(scratch.dir() + "job.pdf");
        });
    }
    // Every job fails for want of a device.
    void breakPrinter() {
        printer.setSpoolerFactory([](QPrinter&) {
            auto s = std::make_unique<FakeSpooler>();
            s->noDevice = true;
            return s;
        });
    }

    coretest::ScratchDir scratch;
    Printer printer;
    TestDocument doc;
    ShellState shell;
    coretest::MessageRecorder messages;
    PrintContext ctx;
    int relayouts = 0, exits = 0, dialogs = 0;
    bool printingDuringDialog = false;
};

TEST(BatchPrinting, EachCopyIsItsOwnJobWithoutDialogThenTheProgramExits) {
    FOLVEK_REQUIRE_SPOOLER(dir);
    for (int copies : {1, 3}) {
        const std::string token = uniqueToken(("batch" + std::to_string(copies)).c_str());
        Harness h(3, token);
        ASSERT_EQ(h.doc.doc->pageCount, 3);
        h.shell.batchCopies = copies;
        runBatchPrinting(h.ctx);
        EXPECT_EQ(h.dialogs, 0);
        EXPECT_EQ(h.exits, 1);
        EXPECT_TRUE(h.messages.shown.empty());
        EXPECT_FALSE(h.shell.printing);
        EXPECT_EQ(h.relayouts, 0);  // printing on the current printer lays nothing out again

        const QStringList pdfs = waitForPdfs(dir, token, copies);
        ASSERT_EQ(pdfs.size(), copies) << "copies " << copies;
        for (const QString& pdf : pdfs) EXPECT_EQ(pdfPages(pdf), 3) << pdf.toStdString();
        removePdfs(dir, token);
    }
}

TEST(BatchPrinting, AFailureIsShownAndTheProgramStaysOpen) {
    Harness h(2, "batch-error");
    h.breakPrinter();
    h.printer.setSystemPrinter(true);
    h.shell.batchCopies = 3;
    runBatchPrinting(h.ctx);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Print error!");
    EXPECT_EQ(h.messages.shown[0].caption, "error");
    EXPECT_EQ(h.messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(h.shell.batchCopies, 0);
    EXPECT_FALSE(h.shell.printing);
    EXPECT_EQ(h.exits, 0);
    EXPECT_EQ(h.dialogs, 0);  // unattended: no second attempt through the dialog
}

// Presses "Отмена" in the job's window as the first page starts.
class CancellingSpooler : public FakeSpooler {
  public:
    bool startPage() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<AbortDialog*>(w); d && d->isVisible())
                d->cancelButton()->click();
        return FakeSpooler::startPage();
    }
};

TEST(BatchPrinting, CancelInTheJobsWindowStopsTheWholeRun) {
    Harness h(2, "batch-cancel");
    h.printer.setSystemPrinter(true);
    int jobs = 0;
    h.printer.setSpoolerFactory([&jobs](QPrinter&) {
        ++jobs;
        return std::make_unique<CancellingSpooler>();
    });
    h.shell.batchCopies = 5;
    runBatchPrinting(h.ctx);
    EXPECT_EQ(jobs, 1);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_FALSE(h.shell.printing);
    EXPECT_EQ(h.exits, 1);  // unattended still: the program ends
}

TEST(BatchPrinting, WithoutADefaultPrinterNoDialogOpensAndPrintErrorIsShown) {
    Harness h(2, "batch-no-printer", true);
    int fileDialogs = 0;
    h.printer.setFileNameDialog([&](QWidget*, const QString&) {
        ++fileDialogs;
        return QString();
    });
    h.shell.batchCopies = 2;
    runBatchPrinting(h.ctx);
    EXPECT_EQ(fileDialogs, 0);
    EXPECT_EQ(h.dialogs, 0);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Print error!");
    EXPECT_EQ(h.messages.shown[0].caption, "error");
    EXPECT_EQ(h.shell.batchCopies, 0);
    EXPECT_FALSE(h.shell.printing);
    EXPECT_EQ(h.exits, 0);
}

TEST(PrintDirect, WithoutADefaultPrinterItSaysSoAndOffersTheDialog) {
    for (MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        Harness h(2, "direct-no-printer", true);
        h.messages.answer = answer;
        int fileDialogs = 0;
        h.printer.setFileNameDialog([&](QWidget*, const QString&) {
            ++fileDialogs;
            return QString();
        });
        printDirect(h.ctx);
        ASSERT_EQ(h.messages.shown.size(), 1u);
        EXPECT_EQ(h.messages.shown[0].caption, "???");
        EXPECT_EQ(h.messages.shown[0].icon, MsgIcon::Question);
        EXPECT_NE(h.messages.shown[0].text.find("принтера по умолчанию"), std::string::npos);
        EXPECT_EQ(h.dialogs, answer == MsgAnswer::Yes ? 1 : 0);
        EXPECT_TRUE(answer == MsgAnswer::No || h.printingDuringDialog);
        EXPECT_EQ(fileDialogs, 0);  // no file is named behind the user's back
        EXPECT_FALSE(h.shell.printing);
    }
}

TEST(BatchPrinting, ANegativeCountPrintsNothingAndExits) {
    Harness h(1, "batch-negative");
    h.breakPrinter();  // a job would fail loudly
    h.shell.batchCopies = -2;
    runBatchPrinting(h.ctx);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.exits, 1);
}

TEST(PrintDirect, APrinterWithoutDeviceShowsPrintErrorThenOffersTheDialog) {
    Harness h(2, "direct-error");
    h.breakPrinter();
    // A system printer (whether or not this machine has one) that then gives no device.
    h.printer.setSystemPrinter(true);
    printDirect(h.ctx);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Print error!");
    EXPECT_EQ(h.messages.shown[0].caption, "WARNING");
    EXPECT_EQ(h.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(h.dialogs, 1);
    EXPECT_TRUE(h.printingDuringDialog);  // the fallback is part of the command
    EXPECT_FALSE(h.shell.printing);
    EXPECT_EQ(h.relayouts, 1);  // by the dialog's attempt
}

TEST(PrintWithDialog, CancellingPrintsNothingAndStillLaysOutAgain) {
    Harness h(3, "dialog-cancel");
    h.doc.doc->curPage = 3;
    printWithDialog(h.ctx);
    EXPECT_EQ(h.dialogs, 1);
    EXPECT_TRUE(h.printingDuringDialog);
    EXPECT_FALSE(h.shell.printing);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.relayouts, 1);
    EXPECT_EQ(h.doc.doc->curPage, 1);
}

TEST(PrintWithDialog, AnErrorIsShownWithTheStopIconAndTheDocumentLaidOutAgain) {
    Harness h(3, "dialog-error");
    h.breakPrinter();
    h.printer.setPrintDialog([](QPrinter&, const PrintDialogOffer&, QWidget*) { return true; });
    printWithDialog(h.ctx);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].caption, "WARNING");
    EXPECT_EQ(h.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_FALSE(h.shell.printing);
    EXPECT_EQ(h.relayouts, 1);
}

TEST(PrinterSetup, LaysOutAgainWhetherConfirmedOrNot) {
    Harness h(2, "setup");
    int shown = 0;
    for (bool confirm : {true, false}) {
        h.printer.setSetupDialog([&](QPrinter&, QWidget*) {
            ++shown;
            return confirm;
        });
        printerSetup(h.ctx);
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(h.relayouts, 2);
}

TEST(PrintCommands, WithoutAPrinterNothingHappens) {
    Harness h(1, "no-printer");
    h.ctx.printer = nullptr;
    printWithDialog(h.ctx);
    printDirect(h.ctx);
    printerSetup(h.ctx);
    EXPECT_EQ(h.relayouts, 0);
    EXPECT_FALSE(h.shell.printing);
}

TEST(BatchPrinting, APictureGivenByMistakeIsNotPrintedAndTheProgramStaysOpen) {
    Harness h(1, "batch-picture");
    h.printer.setSystemPrinter(true);
    // A screenshot from the emulator's capture folder, given to /m instead of its printout.
    std::string bmp("BM\x36\x10\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    bmp += std::string(4096, '\xDA');
    const std::string path = h.scratch.dir() + "shot.bmp";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);
    h.ctx.documentPath = path;
    h.shell.batchCopies = 2;
    runBatchPrinting(h.ctx);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find("Файл не печатается"), std::string::npos);
    EXPECT_NE(h.messages.shown[0].text.find("a BMP picture"), std::string::npos);
    EXPECT_EQ(h.shell.batchCopies, 0);
    EXPECT_EQ(h.exits, 0);
    EXPECT_FALSE(h.shell.printing);
}

}  // namespace
}  // namespace folvek
