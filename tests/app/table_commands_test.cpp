// The tables as cells in the viewer: "Копировать" adds HTML and tab-separated cells beside
// the text, "Копировать таблицу" takes the table under the right-button click, "Сохранить
// таблицы..." writes the file the dialog names.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "messages.h"
#include "page_renderer.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Code page 866: a double frame with single inner rules, and a second page without a table.
const char* const kTable =
    "\xC9\xCD\xCD\xCD\xCD\xCD\xCD\xD1\xCD\xCD\xCD\xCD\xCD\xBB\r\n"
    "\xBA\x92\xAE\xA2\xA0\xE0 \xB3\x91\xE3\xAC\xAC\xA0\xBA\r\n"
    "\xC7\xC4\xC4\xC4\xC4\xC4\xC4\xC5\xC4\xC4\xC4\xC4\xC4\xB6\r\n"
    "\xBA\x95\xAB\xA5\xA1  \xB3   12\xBA\r\n"
    "\xBA\x8C\xAE\xAB\xAE\xAA\xAE\xB3 3,45\xBA\r\n"
    "\xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCF\xCD\xCD\xCD\xCD\xCD\xBC\r\n"
    "\fpage two\r\n";

const QString kTsv = QStringLiteral("Товар\tСумма\nХлеб\t12\nМолоко\t3,45\n");

class TableCommandsTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        shellState().documentPath = writeFile("table.txt", kTable);
        shellState().dosOverride = DosOverride::Dos;
        start();
    }

    QPoint cellCentre(int row, int column) {
        DocumentRecord& record = *view()->record();
        PageLocator locator;
        const SheetText sheet = sheetText(record, record.curPage, locator);
        const double scale = record.Zoom / 2.0;
        const double x =
            (static_cast<double>(record.LeftMargin) + (column + 0.5) * record.charWidth) *
            view()->viewport()->logicalDpiX() / 100.0 * scale;
        const double y = (sheet.textTop + (row + 0.5) * record.lineHeight) *
                         view()->viewport()->logicalDpiY() / 100.0 * scale;
        return QPoint(static_cast<int>(x) - view()->hPos() * view()->hUnit(),
                      static_cast<int>(y) - view()->vPos() * view()->vUnit());
    }

    void rightClick(QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view()->viewport(), &event);
        view()->contextMenu()->hide();
    }

    const QMimeData* clip() { return QGuiApplication::clipboard()->mimeData(); }
};

}  // namespace

TEST_F(TableCommandsTest, CopyPutsTheCellsBesideTheText) {
    view()->setSelection(CellRange{0, 5, 0, 13});
    view()->runCommand(CmCopy);
    ASSERT_TRUE(clip());
    EXPECT_TRUE(clip()->text().startsWith(QStringLiteral("╔══════╤═════╗\n║Товар │Сумма║")));
    EXPECT_EQ(QString::fromUtf8(clip()->data(QStringLiteral("text/tab-separated-values"))), kTsv);
    const QString html = clip()->html();
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Товар</th>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("sdval=\"3.45\""))) << html.toStdString();

    // A selection inside the frame without its rules still has its columns.
    view()->setSelection(CellRange{3, 4, 1, 12});
    view()->runCommand(CmCopy);
    EXPECT_EQ(QString::fromUtf8(clip()->data(QStringLiteral("text/tab-separated-values"))),
              QStringLiteral("Хлеб\t12\nМолоко\t3,45\n"));

    // Text without a frame: the text alone, as before.
    view()->setSelection(CellRange{0, 0, 0, 3});
    view()->runCommand(CmNextPage);
    view()->setSelection(CellRange{0, 0, 0, 3});
    view()->runCommand(CmCopy);
    EXPECT_EQ(clip()->text(), QStringLiteral("page"));
    EXPECT_FALSE(clip()->hasHtml());
}

TEST_F(TableCommandsTest, CopyTableTakesTheTableUnderTheRightButton) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    rightClick(cellCentre(4, 3));
    ASSERT_TRUE(view()->isCommandEnabled(CmCopyTable));
    view()->runCommand(CmCopyTable);
    EXPECT_EQ(clip()->text(), kTsv);
    EXPECT_TRUE(clip()->hasHtml());
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Таблица скопирована: 3 строк × 2 столбцов"));

    // Beside the table there is none: the clipboard stays.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    rightClick(cellCentre(3, 20));
    view()->runCommand(CmCopyTable);
    EXPECT_EQ(clip()->text(), QStringLiteral("before"));
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Под указателем нет таблицы в рамке"));
}

TEST_F(TableCommandsTest, SaveTablesWritesTheFileTheDialogNames) {
    const std::string target = dirPath() + "cells";  // no suffix: XLSX is added
    FileDialogRequest seen;
    dialogHooks().fileDialog = [&](FileDialogKind kind, const FileDialogRequest& r) {
        EXPECT_EQ(kind, FileDialogKind::Save);
        seen = r;
        return FileDialogAnswer{QString::fromStdString(target)};
    };
    ASSERT_TRUE(view()->isCommandEnabled(CmSaveTables));
    view()->runCommand(CmSaveTables);
    EXPECT_EQ(seen.startPath.toStdString(), dirPath() + "table.xlsx");
    QFile xlsx(QString::fromStdString(target + ".xlsx"));
    ASSERT_TRUE(xlsx.open(QIODevice::ReadOnly));
    EXPECT_EQ(xlsx.read(2), QByteArray("PK"));
    EXPECT_TRUE(
        frame->statusBar()->currentMessage().startsWith(QStringLiteral("Сохранено таблиц: 1")));

    // CSV: one file per table, numbered.
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(dirPath() + "cells.csv")};
    };
    view()->runCommand(CmSaveTables);
    QFile csv(QString::fromStdString(dirPath() + "cells-1.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(),
              QByteArray("\xEF\xBB\xBF") +
                  QStringLiteral("Товар;Сумма\r\nХлеб;12\r\nМолоко;3,45\r\n").toUtf8());

    // Cancelled: nothing written, nothing said.
    dialogHooks().fileDialog = [](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{};
    };
    frame->statusBar()->clearMessage();
    view()->runCommand(CmSaveTables);
    EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty());
}

// A file that cannot be written is said in a message over the window, with the reason, and no
// success is claimed; the success message names the file written, and for several CSV files
// the first of them.
TEST_F(TableCommandsTest, SaveTablesSaysWhatWasWrittenOrWhyNot) {
    struct Box : MessageSink {
        MsgAnswer show(const std::string& text, const std::string& title, MsgIcon icon,
                       MsgButtons) override {
            shown.push_back(title + "|" + text);
            error = icon == MsgIcon::Error;
            return MsgAnswer::Ok;
        }
        std::vector<std::string> shown;
        bool error = false;
    } box;
    dialogHooks().messages = &box;
    const std::string missing = dirPath() + "no such folder/cells.ods";
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(missing)};
    };
    frame->statusBar()->clearMessage();
    view()->runCommand(CmSaveTables);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.error);
    EXPECT_EQ(box.shown[0].rfind("Сохранить таблицы|", 0), 0u) << box.shown[0];
    EXPECT_NE(box.shown[0].find(missing), std::string::npos) << box.shown[0];
    EXPECT_FALSE(frame->statusBar()->currentMessage().startsWith(QStringLiteral("Сохранено")));

    const std::string ods = dirPath() + "cells.ods";
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(ods)};
    };
    view()->runCommand(CmSaveTables);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QString::fromStdString("Сохранено таблиц: 1, " + ods));
    EXPECT_EQ(box.shown.size(), 1u);
    dialogHooks().messages = nullptr;
}

// Two tables of different columns: two CSV files, the message names the first and "...".
TEST_F(AppTest, SavingTwoTablesAsCsvNamesTheFirstFile) {
    const char* const box =
        "\xDA\xC4\xC4\xC2\xC4\xC4\xBF\r\n"
        "\xB3\xAA\xAE\xA4\xB3 7\xB3\r\n"
        "\xB3\xA8\xAC\xEF\xB3 8\xB3\r\n"
        "\xC0\xC4\xC4\xC1\xC4\xC4\xD9\r\n";
    const char* const wide =
        "\xDA\xC4\xC2\xC4\xC2\xC4\xBF\r\n"
        "\xB3"
        "a\xB3"
        "b\xB3"
        "c\xB3\r\n"
        "\xB3"
        "1\xB3"
        "2\xB3"
        "3\xB3\r\n"
        "\xC0\xC4\xC1\xC4\xC1\xC4\xD9\r\n";
    shellState().documentPath = writeFile("two.txt", std::string(box) + "\r\n" + wide);
    shellState().dosOverride = DosOverride::Dos;
    start();
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(dirPath() + "t.csv")};
    };
    view()->runCommand(CmSaveTables);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QString::fromStdString("Сохранено таблиц: 2, " + dirPath() + "t-1.csv ..."));
    EXPECT_EQ(readFile(dirPath() + "t-2.csv"),
              "\xEF\xBB\xBF"
              "a;b;c\r\n1;2;3\r\n");
}

// A search over a long report can be stopped from its progress dialog: nothing is written and
// the status bar says so. The bar shows the share searched so far in percent from the start.
TEST_F(AppTest, StoppingTheTableSearchWritesNothing) {
    // Code page 866: 12,000 small tables; a search over that many rows is cut into pieces.
    std::string report;
    for (int i = 0; i < 12000; ++i)
        report +=
            "\xDA\xC4\xC4\xC2\xC4\xC4\xBF\r\n\xB3\xA0\xA1\xB3 7\xB3\r\n"
            "\xC0\xC4\xC4\xC1\xC4\xC4\xD9\r\n\r\n";
    shellState().documentPath = writeFile("long.txt", report);
    shellState().dosOverride = DosOverride::Dos;
    start();
    const std::string target = dirPath() + "long.xlsx";
    bool cancelled = false, windowWasDisabled = false;
    int value = -2;
    QString text;
    dialogHooks().fileDialog = [&](FileDialogKind, const FileDialogRequest&) {
        // Runs at the search's first report of progress.
        QTimer::singleShot(0, [&] {
            windowWasDisabled = !frame->isEnabled();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<QProgressDialog*>(w);
                    p && p->objectName() == QStringLiteral("TablesProgress")) {
                    value = p->value();
                    if (auto* bar = p->findChild<QProgressBar*>()) text = bar->text();
                    p->cancel();
                    cancelled = true;
                }
        });
        return FileDialogAnswer{QString::fromStdString(target)};
    };
    view()->runCommand(CmSaveTables);
    ASSERT_TRUE(cancelled);
    // On a machine busy elsewhere the cores may finish every piece before the first report.
    if (value == 100) GTEST_SKIP() << "the search ended before it first reported";
    EXPECT_TRUE(windowWasDisabled);
    EXPECT_GE(value, 0);
    EXPECT_LT(value, 100);
    EXPECT_EQ(text, QString::number(value) + QLatin1Char('%'));
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Сохранение таблиц прервано"));
    EXPECT_TRUE(frame->isEnabled());
}

// The view's cells are the document's: the first row and column of the page are its first line
// and column; cells before them, or far below the page, are none.
TEST_F(TableCommandsTest, TheViewsCellsAreTheDocumentsFromTheFirstRowAndColumn) {
    std::int64_t line = -1;
    std::int32_t column = -1;
    ASSERT_TRUE(view()->documentCell(Cell{0, 0}, line, column));
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 0);
    ASSERT_TRUE(view()->documentCell(Cell{5, 13}, line, column));
    EXPECT_EQ(line, 5);
    EXPECT_EQ(column, 13);
    EXPECT_FALSE(view()->documentCell(Cell{-1, 0}, line, column));
    EXPECT_FALSE(view()->documentCell(Cell{0, -1}, line, column));
    EXPECT_FALSE(view()->documentCell(Cell{500, 0}, line, column));
}
