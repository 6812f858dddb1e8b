// The print job without a print system: the order of the printout's calls, the range rule,
// copies, the abort dialog, cancelling, failures of the device and the spooler, and the pages
// the print dialog offers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <tuple>

#include "abort_dialog.h"
#include "platform/print_support.h"
#include "print_job.h"
#include "print_spooler.h"
#include "window_printout.h"

namespace folvek {
namespace {

using printtest::FakeSpooler;
using printtest::RecordingPrintout;
using Calls = std::vector<std::string>;

AbortDialog* openAbortDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<AbortDialog*>(w); d && d->isVisible()) return d;
    return nullptr;
}

TEST(PrintRange, ChosenPagesElseTheMinimumToMaximumElseOpenEnded) {
    const PageRange chosen = printRange({1, 5, 0, 0, {}}, true, 2, 3);
    EXPECT_EQ(chosen.from, 2);
    EXPECT_EQ(chosen.to, 3);
    const PageRange all = printRange({1, 5, 0, 0, {}}, false, 2, 3);
    EXPECT_EQ(all.from, 1);
    EXPECT_EQ(all.to, 5);
    const PageRange open = printRange({0, 0, 0, 0, {}}, false, 0, 0);
    EXPECT_EQ(open.from, 1);
    EXPECT_EQ(open.to, INT_MAX);
    // "All pages" in the dialog leaves no page numbers: the printout's range holds.
    EXPECT_EQ(printRange({1, 5, 0, 0, {}}, true, 0, 0).to, 5);
}

TEST(PrintJob, CallsThePrintoutInItsOrderForEveryPageOfTheRange) {
    FakeSpooler spooler;
    RecordingPrintout printout(5, {1, 5, 0, 0, {}});
    const PrintJobResult r = runPrintJob(printout, spooler, {2, 3}, 1, nullptr);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.pagesPrinted, 2);
    EXPECT_EQ(printout.calls, (Calls{"params", "beginPrinting", "beginDocument 2 3", "page 2",
                                     "page 3", "endDocument", "endPrinting"}));
    EXPECT_EQ(spooler.calls,
              (Calls{"open doc.txt", "startPage", "endPage", "startPage", "endPage", "close"}));
}

TEST(PrintJob, ReverseOrderPrintsTheRangeLastPageFirst) {
    FakeSpooler spooler;
    RecordingPrintout printout(5, {1, 5, 0, 0, {}});
    PageRange range{2, 4};
    range.reverse = true;
    EXPECT_EQ(runPrintJob(printout, spooler, range, 1, nullptr).pagesPrinted, 3);
    EXPECT_EQ(printout.calls, (Calls{"params", "beginPrinting", "beginDocument 2 4", "page 4",
                                     "page 3", "page 2", "endDocument", "endPrinting"}));
    // A range past the end, or with no end, starts at the document's last page.
    for (PageRange open : {PageRange{3, 9, true}, PageRange{1, INT_MAX, true}}) {
        RecordingPrintout three(3, {1, 3, 0, 0, {}});
        FakeSpooler s;
        EXPECT_EQ(runPrintJob(three, s, open, 1, nullptr).pagesPrinted, open.from == 3 ? 1 : 3);
        EXPECT_EQ(three.calls[3], "page 3");
    }
}

TEST(PrintJob, ReverseReachesTheQueueAsOutputOrder) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString reverse = QStringLiteral("outputorder=reverse");
    EXPECT_FALSE(lpArguments(printer, QStringLiteral("t"), QStringLiteral("f")).contains(reverse));
    printer.setPageOrder(QPrinter::LastPageFirst);
    EXPECT_TRUE(lpArguments(printer, QStringLiteral("t"), QStringLiteral("f")).contains(reverse));
}

TEST(PrintJob, AnOpenEndedRangeStopsWhenThePrintoutHasNoFurtherPage) {
    FakeSpooler spooler;
    RecordingPrintout printout(1, {0, 0, 0, 0, {}});
    EXPECT_EQ(runPrintJob(printout, spooler, printRange({0, 0, 0, 0, {}}, false, 0, 0), 1, nullptr)
                  .pagesPrinted,
              1);
    EXPECT_EQ(printout.calls[3], "page 1");
    EXPECT_EQ(printout.calls[4], "endDocument");
}

// With no last page known the printing dialog names none ("из N" stays empty).
TEST(PrintJob, AnOpenEndedRangeShowsNoLastPage) {
    FakeSpooler spooler;
    RecordingPrintout printout(2, {0, 0, 0, 0, {}});
    std::vector<std::string> seen;
    printout.onPage = [&](int) {
        AbortDialog* d = openAbortDialog();
        ASSERT_NE(d, nullptr);
        seen.push_back(
            (d->label(AbortDialog::kPage)->text() + "|" + d->label(AbortDialog::kLastPage)->text())
                .toStdString());
    };
    runPrintJob(printout, spooler, printRange({0, 0, 0, 0, {}}, false, 0, 0), 1, nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"Печать страницы 1|", "Печать страницы 2|"}));
}

TEST(PrintJob, CopiesTheDriverCannotMakeRepeatTheDocumentInOneSpoolerDocument) {
    FakeSpooler spooler;
    RecordingPrintout printout(2, {1, 2, 0, 0, {}});
    EXPECT_EQ(runPrintJob(printout, spooler, {1, 2}, 2, nullptr).pagesPrinted, 4);
    EXPECT_EQ(printout.calls, (Calls{"params", "beginPrinting", "beginDocument 1 2", "page 1",
                                     "page 2", "endDocument", "beginDocument 1 2", "page 1",
                                     "page 2", "endDocument", "endPrinting"}));
    EXPECT_EQ(std::count(spooler.calls.begin(), spooler.calls.end(), "open doc.txt"), 1);
}

TEST(PrintJob, NoDeviceIsAnErrorBeforeAnyCallback) {
    FakeSpooler spooler;
    spooler.noDevice = true;
    RecordingPrintout printout(3, {1, 3, 0, 0, {}});
    EXPECT_THROW(runPrintJob(printout, spooler, {1, 3}, 1, nullptr), PrintError);
    EXPECT_TRUE(printout.calls.empty());
    EXPECT_EQ(openAbortDialog(), nullptr);
}

TEST(PrintJob, ASpoolerFailureAfterSomePagesIsAnErrorNotASuccess) {
    FakeSpooler spooler;
    spooler.failAtPage = 3;
    RecordingPrintout printout(5, {1, 5, 0, 0, {}});
    QWidget window;
    window.show();
    try {
        runPrintJob(printout, spooler, {1, 5}, 1, &window);
        FAIL() << "a failed spooler passed for success";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.pagesPrinted(), 2);
    }
    EXPECT_EQ(spooler.calls.back(), "abort");  // the broken document is dropped, not closed
    EXPECT_EQ(printout.calls.back(), "endPrinting");
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(openAbortDialog(), nullptr);
}

TEST(PrintJob, TheAbortDialogShowsTheJobAndTheWindowIsDisabledMeanwhile) {
    FakeSpooler spooler;
    RecordingPrintout printout(3, {1, 3, 0, 0, {}}, "/tmp/report.txt");
    QWidget window;
    window.show();
    std::vector<std::string> seen;
    printout.onPage = [&](int) {
        AbortDialog* d = openAbortDialog();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Печать"));
        EXPECT_FALSE(window.isEnabled());
        EXPECT_TRUE(d->isEnabled());
        EXPECT_TRUE(d->cancelButton()->isEnabled());
        EXPECT_EQ(d->cancelButton()->text(), QStringLiteral("Отмена"));
        seen.push_back((d->label(AbortDialog::kPage)->text() + "|" +
                        d->label(AbortDialog::kLastPage)->text() + "|" +
                        d->label(AbortDialog::kTitle)->text() + "|" +
                        d->label(AbortDialog::kDevice)->text())
                           .toStdString());
    };
    runPrintJob(printout, spooler, {2, 3}, 1, &window);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Печать страницы 2|из 3 |'/tmp/report.txt' на|Fake на LPT1:",
                        "Печать страницы 3|из 3 |'/tmp/report.txt' на|Fake на LPT1:"}));
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(openAbortDialog(), nullptr);
}

TEST(PrintJob, CancelStopsAfterTheCurrentPageAndDropsTheDocument) {
    FakeSpooler spooler;
    RecordingPrintout printout(5, {1, 5, 0, 0, {}});
    bool disabledAfterClick = false;
    printout.onPage = [&](int page) {
        if (page != 1) return;
        AbortDialog* d = openAbortDialog();
        ASSERT_NE(d, nullptr);
        d->cancelButton()->click();
        disabledAfterClick = !d->cancelButton()->isEnabled();
    };
    const PrintJobResult r = runPrintJob(printout, spooler, {1, 5}, 3, nullptr);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.pagesPrinted, 1);
    EXPECT_TRUE(disabledAfterClick);
    EXPECT_EQ(printout.calls, (Calls{"params", "beginPrinting", "beginDocument 1 5", "page 1",
                                     "endDocument", "endPrinting"}));
    EXPECT_EQ(spooler.calls.back(), "abort");
}

TEST(AbortDialog, EveryTextFitsWithoutOverlapping) {
    const QString title = QStringLiteral("/home/user/отчёты/квартальный отчёт по складу.prn");
    AbortDialog d(nullptr, title, QStringLiteral("HP LaserJet 4250"), QStringLiteral("Office"));
    d.show();
    d.setLastPage(1578);
    d.setPage(434);
    QApplication::processEvents();
    std::vector<QLabel*> shown;
    for (auto id :
         {AbortDialog::kPage, AbortDialog::kLastPage, AbortDialog::kTitle, AbortDialog::kDevice}) {
        QLabel* l = d.label(id);
        ASSERT_TRUE(l->isVisible()) << l->text().toStdString();
        EXPECT_GE(l->contentsRect().width(), l->fontMetrics().horizontalAdvance(l->text()))
            << l->text().toStdString();
        shown.push_back(l);
    }
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << shown[i]->text().toStdString() << " / " << shown[j]->text().toStdString();
    EXPECT_FALSE(d.cancelButton()->geometry().intersects(shown.back()->geometry()));
    EXPECT_EQ(d.label(AbortDialog::kDevice)->text(), QStringLiteral("HP LaserJet 4250 на Office"));
    EXPECT_EQ(d.label(AbortDialog::kTitle)->toolTip(), title);
}

TEST(AbortDialog, EscapeCancelsAndTheDialogCannotBeClosed) {
    AbortDialog d(nullptr, "t", "dev", "port");
    d.show();
    EXPECT_FALSE(d.close());
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.cancelled());
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.cancelled());
    EXPECT_FALSE(d.cancelButton()->isEnabled());
    EXPECT_TRUE(d.isVisible());
}

// The page line sits in the middle of the dialog, the page and its last page 4 pixels apart; a
// long path is cut in its middle at 560 pixels; over a window the dialog opens at the
// template's place, 84 by 51 dialog units (of 6 by 13 pixels) from the window's corner.
TEST(AbortDialog, ThePageLineIsCentredAndLongPathsAreCut) {
    // The document's name is wider than the page line, which then has room on both sides.
    const QString name = QStringLiteral("/home/user/отчёты/квартальный отчёт по складу.prn");
    AbortDialog d(nullptr, name, QStringLiteral("P"), QStringLiteral("q"));
    d.show();
    d.setLastPage(5);
    d.setPage(3);
    QApplication::processEvents();
    QLabel* page = d.label(AbortDialog::kPage);
    QLabel* last = d.label(AbortDialog::kLastPage);
    EXPECT_EQ(last->geometry().left() - page->geometry().right() - 1, 4);
    ASSERT_GT(d.label(AbortDialog::kTitle)->width(), last->geometry().right() - page->x() + 40);
    const int middle = (page->geometry().left() + last->geometry().right()) / 2;
    EXPECT_NEAR(middle, d.width() / 2, 1);
    const int button = d.cancelButton()->geometry().center().x();
    EXPECT_NEAR(button, d.width() / 2, 1);

    const QString path =
        QStringLiteral("/home/user/") + QString(300, QLatin1Char('x')) + QStringLiteral("/end.prn");
    AbortDialog wide(nullptr, path, QStringLiteral("P"), QStringLiteral("q"));
    const QLabel* title = wide.label(AbortDialog::kTitle);
    const int shown = title->fontMetrics().horizontalAdvance(title->text());
    EXPECT_LE(shown, 560);
    EXPECT_GT(shown, 500);
    EXPECT_TRUE(title->text().startsWith(QStringLiteral("'/home/user/")));
    EXPECT_TRUE(title->text().endsWith(QStringLiteral("end.prn' на")));
    EXPECT_EQ(title->toolTip(), path);

    QWidget window;
    window.move(40, 30);
    window.show();
    AbortDialog over(&window, QStringLiteral("a.txt"), QStringLiteral("P"), QStringLiteral("q"));
    EXPECT_EQ(over.pos(), window.mapToGlobal(QPoint(84 * 6 / 4, 51 * 13 / 8)));
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// The print dialog offers page numbers from 1 to the last page only to a document of two pages
// or more, and never a selection.
TEST(WindowPrintout, PageNumbersAreOfferedFromTwoPagesOn) {
    coretest::ScratchDir dir;
    printtest::TestDocument doc(dir, 1, "pages", nullptr);
    const auto expectOffer = [](const WindowPrintout& p, int min, int max, const char* what) {
        const PageRangeInfo info = p.pageInfo();
        EXPECT_EQ(info.minPage, min) << what;
        EXPECT_EQ(info.maxPage, max) << what;
        EXPECT_EQ(info.selFrom, 0) << what;
        EXPECT_EQ(info.selTo, 0) << what;
    };
    expectOffer(WindowPrintout("none", nullptr, nullptr), 0, 0, "no document");
    for (const auto& [pages, min, max] :
         {std::tuple{0, 0, 0}, std::tuple{1, 0, 0}, std::tuple{2, 1, 2}, std::tuple{7, 1, 7}}) {
        doc.doc->pageCount = pages;
        expectOffer(WindowPrintout("doc", nullptr, doc.doc.get()), min, max,
                    std::to_string(pages).c_str());
    }
}

}  // namespace
}  // namespace folvek
