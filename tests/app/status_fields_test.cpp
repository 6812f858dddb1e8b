// The caption and the status fields follow the shown document through its notification alone:
// each change below goes straight to an entry point of the document, with no command around it
// that could refresh the frame by hand.
#include <QLabel>

#include "app_fixture.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "path_field.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

QString caption(const std::string& path) {
    return QStringLiteral("FolVk - ") + QString::fromStdString(path);
}

QString pages(const DocumentRecord& p) {
    return QStringLiteral("Стр. %1 из %2").arg(p.curPage).arg(p.pageCount);
}

// n lines with no form feed: how many pages they take depends on the line pitch.
std::string lines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

}  // namespace

TEST_F(AppTest, CaptionAndFieldsFollowOpenReloadSettingsAndPageTurns) {
    const std::string a = pagedDocument("a.txt", 3);
    shellState().documentPath = a;
    start();
    Document& doc = *view()->document();
    const DocumentRecord& p = doc.record();
    EXPECT_EQ(frame->windowTitle(), caption(a));
    EXPECT_EQ(frame->fileNameField()->text().toStdString(), a);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из 3"));
    EXPECT_EQ(frame->encodingField()->text(), QStringLiteral("1251"));

    // Page turns, by the command and by the document itself.
    view()->runCommand(CmNextPage);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 2 из 3"));
    doc.goToPage(3);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 3 из 3"));

    // The file grew on disk: read again, the page kept, the count new; the caption stays.
    writeFile("a.txt", readFile(a) + "\fpage 4\n\fpage 5\n");
    doc.reload();
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 3 из 5"));
    EXPECT_EQ(frame->windowTitle(), caption(a));

    // Another file: caption, file-name field and pages.
    const std::string b = writeFile("b.txt", lines(400));
    doc.load(b);
    EXPECT_EQ(frame->windowTitle(), caption(b));
    EXPECT_EQ(frame->fileNameField()->text().toStdString(), b);
    const int before = p.pageCount;
    ASSERT_GT(before, 1);
    EXPECT_EQ(frame->pageField()->text(), pages(p));

    // Settings edited: a wider line pitch takes more pages; another encoding reads the text
    // again and the encoding field says which.
    view()->record()->HeightString = 200;
    doc.settingsEdited();
    EXPECT_GT(p.pageCount, before);
    EXPECT_EQ(frame->pageField()->text(), pages(p));
    view()->record()->Encoding = EncodingChoice::Cp866;
    doc.settingsEdited(doc.path());
    EXPECT_EQ(frame->encodingField()->text(), QStringLiteral("866"));

    // Saved under another name: the caption names the copy.
    const std::string copy = writeFile("copy.txt", readFile(b));
    doc.savedAs(copy);
    EXPECT_EQ(frame->windowTitle(), caption(copy));
    EXPECT_EQ(frame->fileNameField()->text().toStdString(), copy);
}
