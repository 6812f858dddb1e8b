// Find, selection and copy on the pages of a printer job laid out by itself, through the real
// view: the count of matches in the job's printed text, the marks over the characters where
// they are drawn at every zoom, a rectangle dragged on the form copied line by line, and
// "Копировать страницу".
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "find_bar.h"
#include "job_places.h"
#include "job_sheet.h"
#include "main_frame.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Two lines placed with ESC $, 1 and 2 inches from the left edge, a form feed, a third line.
const std::string kJob = std::string("\x1b@\x1b$\x3c\x00Total 17,5\r\n", 18) +
                         std::string("\x1b$\x78\x00total 2\r\n\f", 14) + "TOTAL\r\n";

class JobFindTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        shellState().documentPath = writeFile("form.prn", kJob);
        start();
        ASSERT_TRUE(view()->record()->jobLaidOut());
        ASSERT_EQ(view()->record()->pageCount, 2);
    }

    const printer::JobTextRun& run(const std::u32string& text) {
        static const printer::JobTextRun none;
        for (const printer::JobTextRun& r : page().runs)
            if (r.text == text) return r;
        ADD_FAILURE() << "not printed";
        return none;
    }
    const printer::JobPage& page() {
        return jobDocumentOf(*view()->record())->pages[std::size_t(view()->record()->curPage - 1)];
    }
    // A point of the form (the job's units) in the viewport's pixels as the page is painted.
    QPointF toView(double x, double y) {
        DocumentRecord& record = *view()->record();
        const JobSheetMap map = jobSheetMap(record, page());
        const double scale = record.Zoom / 2.0;
        return {map.sheetX(x) * view()->viewport()->logicalDpiX() / 100.0 * scale -
                    double(view()->hPos()) * view()->hUnit(),
                -map.sheetY(y) * view()->viewport()->logicalDpiY() / 100.0 * scale -
                    double(view()->vPos()) * view()->vUnit()};
    }
    // The pixels of a run's cells on the view, its first `n` characters.
    QRectF cells(const printer::JobTextRun& r, std::size_t n) {
        const double cell = r.cellHeight;
        return QRectF(toView(r.x, r.y - kJobCellAbove * cell),
                      toView(r.x + double(n) * r.advance, r.y + kJobCellBelow * cell));
    }
    void searchFor(const char* text) {
        FindBar* bar = frame->findBar();
        view()->runCommand(CmFind);
        QSignalSpy done(bar, &FindBar::searchFinished);
        bar->field()->setText(QString::fromUtf8(text));
        QTest::keyClick(bar->field(), Qt::Key_Return);
        if (bar->searching() || done.isEmpty()) {
            ASSERT_TRUE(done.wait(5000));
        }
    }
};

// How many pixels of `colour` lie inside `box` and outside it: the marks are whole hundredths
// of an inch, `slack` pixels, that cover the cells.
std::pair<int, int> colourInAndOut(const QImage& shot, const QColor& colour, const QRectF& box,
                                   double slackPixels) {
    int in = 0, out = 0;
    const QRectF slack = box.adjusted(-slackPixels, -slackPixels, slackPixels, slackPixels);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == colour.rgb()) (slack.contains(x + 0.5, y + 0.5) ? in : out)++;
    return {in, out};
}

}  // namespace

TEST_F(JobFindTest, FindCountsThePrintedTextAndMarksTheMatchOverItAtEveryZoom) {
    searchFor("total");
    FindBar* bar = frame->findBar();
    ASSERT_EQ(bar->matches().size(), 3u);  // the job's text, not its bytes read as lines
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Найдено: 1 из 3"));
    EXPECT_EQ(view()->record()->curPage, 1);
    for (int zoom : {1, 2, 5, 11}) {
        view()->document()->zoomChanged(zoom);
        view()->showMatch(bar->matches()[0]);
        const QImage shot = view()->viewport()->grab().toImage();
        const double hundredth = view()->viewport()->logicalDpiX() / 100.0 * zoom / 2 + 1;
        // The first match is "Total" of the upper line.
        const QRectF word = cells(run(U"Total 17,5"), 5);
        const auto [in, out] =
            colourInAndOut(shot, ReportView::currentMatchColour(), word, hundredth);
        EXPECT_GT(in, word.width() * word.height() / 3) << "zoom " << zoom;
        EXPECT_EQ(out, 0) << "zoom " << zoom;
        // The other match of the page in the tint of every match, where it is printed.
        const QRectF other = cells(run(U"total 2"), 5);
        if (shot.rect().contains(other.toRect())) {
            const auto [otherIn, otherOut] =
                colourInAndOut(shot, ReportView::searchMarkColour(), other, hundredth);
            EXPECT_GT(otherIn, other.width() * other.height() / 3) << "zoom " << zoom;
            EXPECT_EQ(otherOut, 0) << "zoom " << zoom;
        }
    }
    view()->runCommand(CmFindNext);
    view()->runCommand(CmFindNext);
    EXPECT_EQ(view()->record()->curPage, 2);
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Найдено: 3 из 3"));
}

TEST_F(JobFindTest, ADraggedRectangleCopiesTheTextUnderItAndTheWholePageCopies) {
    view()->document()->zoomChanged(3);
    const printer::JobTextRun& upper = run(U"Total 17,5");
    const printer::JobTextRun& lower = run(U"total 2");
    // From above the upper line's "17,5" to below the lower line's end.
    const QPointF from = toView(upper.x + 5.6 * upper.advance, upper.y - upper.cellHeight);
    const QPointF to = toView(lower.x + 8 * lower.advance, lower.y + lower.cellHeight / 2);
    QWidget* port = view()->viewport();
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from.toPoint());
    QTest::mouseMove(port, ((from + to) / 2).toPoint());
    QTest::mouseMove(port, to.toPoint());
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to.toPoint());
    ASSERT_TRUE(view()->selection());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    view()->runCommand(CmCopy);
    // The lower line starts 1 inch right of the upper one: 10 columns at 10 characters an inch.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("17,5\n    total 2"));
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Скопировано: 2 стр. × 11 симв."));

    view()->runCommand(CmCopyPage);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Total 17,5\n          total 2"));
}
