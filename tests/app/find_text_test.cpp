// What the find bar looks for: Cyrillic typed in the field finds the letters of a 1251 report
// in either case; a character the report's code page cannot hold finds nothing (not the
// report's question marks); "Найти далее" with an empty field opens the field, and again after
// nothing was found says so again; the bar's close button takes the marks away.
#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "document_record.h"
#include "find_bar.h"
#include "main_frame.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

class FindTextTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        // "Гайка М8?", a form feed, "гайка", in code page 1251.
        shellState().documentPath =
            writeFile("w1251.txt", "\xc3\xe0\xe9\xea\xe0 \xcc\x38?\r\n\f\xe3\xe0\xe9\xea\xe0\r\n");
        start();
        bar = frame->findBar();
    }
    void searchFor(const QString& text) {
        view()->runCommand(CmFind);
        QSignalSpy done(bar, &FindBar::searchFinished);
        bar->field()->setText(text);
        QTest::keyClick(bar->field(), Qt::Key_Return);
        if (bar->searching() || done.isEmpty()) {
            ASSERT_TRUE(done.wait(5000));
        }
    }
    QString message() { return frame->statusBar()->currentMessage(); }
    FindBar* bar = nullptr;
};

TEST_F(FindTextTest, CyrillicInEitherCaseFindsTheReportsLetters) {
    searchFor(QStringLiteral("ГАЙКА"));
    ASSERT_EQ(bar->matches().size(), 2u);
    EXPECT_EQ(message(), QStringLiteral("Найдено: 1 из 2"));
    view()->runCommand(CmFindNext);
    EXPECT_EQ(view()->record()->curPage, 2);
    searchFor(QStringLiteral("м8?"));
    EXPECT_EQ(bar->matches().size(), 1u);
}

TEST_F(FindTextTest, ACharacterTheCodePageLacksFindsNothingAndSaysSoAgain) {
    searchFor(QStringLiteral("М8✓"));
    EXPECT_TRUE(bar->matches().empty());
    // Not even a control byte that stands where it would.
    writeFile("w1251.txt", "\xcc\x38\x01 \xcc\x38\x7f \xcc\x38\xff\r\n");
    view()->runCommand(CmReload);
    for (const char* lacked : {"М8✓", "М8ü"}) {
        searchFor(QString::fromUtf8(lacked));
        EXPECT_TRUE(bar->matches().empty()) << lacked;
    }
    EXPECT_EQ(message(), QStringLiteral("Не найдено"));
    frame->statusBar()->clearMessage();
    view()->runCommand(CmFindNext);
    EXPECT_EQ(message(), QStringLiteral("Не найдено"));
}

TEST_F(FindTextTest, AnEmptyFieldOpensTheBarAndTheCloseButtonTakesTheMarksAway) {
    ASSERT_FALSE(bar->isVisible());
    view()->runCommand(CmFindNext);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->field()->hasFocus());
    EXPECT_TRUE(bar->matches().empty());

    searchFor(QStringLiteral("гайка"));
    ASSERT_EQ(bar->matches().size(), 2u);
    EXPECT_NE(view()->searchMarks(), nullptr);
    QAction* close = nullptr;
    for (QAction* a : bar->actions())
        if (a->text() == QStringLiteral("✕")) close = a;
    ASSERT_NE(close, nullptr);
    close->trigger();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(view()->searchMarks(), nullptr);
    EXPECT_TRUE(view()->hasFocus());
}

}  // namespace

// The last letter of the code page (я, byte 0xFF) is found like any other.
TEST_F(AppTest, TheCodePagesLastLetterIsFound) {
    shellState().documentPath =
        writeFile("last.txt", "\xc7\xe0\xff\xe2\xea\xe0 7\r\n");  // "Заявка 7"
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    QSignalSpy done(bar, &FindBar::searchFinished);
    bar->field()->setText(QStringLiteral("явка"));  // я, not Я (0xDF)
    QTest::keyClick(bar->field(), Qt::Key_Return);
    if (bar->searching() || done.isEmpty()) {
        ASSERT_TRUE(done.wait(5000));
    }
    EXPECT_EQ(bar->matches().size(), 1u);
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Найдено: 1 из 1"));
}
