// "Страницы задания принтера" through the real view: a job goes over to the report's layout and
// back, each time saying which layout it now shows; the choice is remembered in layouts.cfg and
// a later start opens the document in it; a file that prints no page stays in the report's
// layout and says why.
#include <QStatusBar>

#include "app_fixture.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Two lines placed with ESC $ 1 and 2 inches from the left edge, a form feed, a third line.
const std::string kJob = std::string("\x1b@\x1b$\x3c\x00Total 17,5\r\n", 18) +
                         std::string("\x1b$\x78\x00total 2\r\n\f", 14) + "TOTAL\r\n";

class JobLayoutCommandTest : public AppTest {
  protected:
    QString message() { return frame->statusBar()->currentMessage(); }
    std::string remembered() { return readFile(dirPath() + "layouts.cfg"); }
};

TEST_F(JobLayoutCommandTest, AJobGoesToTheReportLayoutAndBackAndTheChoiceOutlivesTheWindow) {
    const std::string path = writeFile("form.prn", kJob);
    shellState().documentPath = path;
    start();
    ASSERT_TRUE(view()->record()->jobLaidOut());
    ASSERT_TRUE(view()->isCommandEnabled(CmJobLayout));

    view()->runCommand(CmJobLayout);
    EXPECT_FALSE(view()->record()->jobLaidOut());
    EXPECT_EQ(view()->record()->layoutMode, LayoutMode::Report);
    EXPECT_EQ(message(), QStringLiteral("Разметка отчёта"));
    EXPECT_EQ(remembered(), "report\t" + shownPath() + "\n");

    view()->runCommand(CmJobLayout);
    EXPECT_TRUE(view()->record()->jobLaidOut());
    EXPECT_EQ(message(), QStringLiteral("Страницы задания принтера (%1)")
                             .arg(QString::fromStdString(view()->record()->jobVerdict.language)));
    EXPECT_FALSE(view()->record()->jobVerdict.language.empty());
    EXPECT_EQ(remembered(), "job\t" + shownPath() + "\n");

    // Back to the report's layout, then a new window over the same document keeps it.
    view()->runCommand(CmJobLayout);
    stop();
    shellState().documentPath = path;
    start();
    EXPECT_FALSE(view()->record()->jobLaidOut());
    EXPECT_EQ(view()->record()->layoutMode, LayoutMode::Report);
}

// A plain report asked for a job's pages is printed as a printer would print its text: no
// language to name. An empty file prints no page, so it keeps the report's layout and says why,
// in Russian.
TEST_F(JobLayoutCommandTest, AReportAskedForAJobsPagesSaysWhatItShows) {
    shellState().documentPath = writeFile("plain.txt", "Итого 1 250,00\r\nвторая строка\r\n");
    start();
    ASSERT_FALSE(view()->record()->jobLaidOut());
    view()->runCommand(CmJobLayout);
    EXPECT_TRUE(view()->record()->jobLaidOut());
    EXPECT_EQ(message(), QStringLiteral("Страницы задания принтера"));
    stop();

    shellState().documentPath = writeFile("empty.prn", "");
    start();
    view()->runCommand(CmJobLayout);
    EXPECT_FALSE(view()->record()->jobLaidOut());
    EXPECT_EQ(view()->record()->layoutMode, LayoutMode::Job);
    EXPECT_EQ(message(), QStringLiteral("Разметка отчёта: задание не печатает ни одной страницы"));
}

TEST_F(JobLayoutCommandTest, WithNoDocumentTheCommandIsOff) {
    shellState().documentPath.clear();
    start();
    EXPECT_FALSE(view()->isCommandEnabled(CmJobLayout));
    view()->runCommand(CmJobLayout);
    EXPECT_TRUE(remembered().empty());
}

}  // namespace
