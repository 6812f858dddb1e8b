// "Копировать" of a rectangle dragged with the mouse over a table on the page: the cells under
// the drag, frames as Unicode box drawing; the tint in the preview; what clears the selection.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "document_record.h"
#include "find_bar.h"
#include "page_renderer.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Code page 866: a double frame with single inner rules, and a second page.
const char* const kTable =
    "\xC9\xCD\xCD\xCD\xCD\xCD\xCD\xD1\xCD\xCD\xCD\xCD\xCD\xBB\r\n"
    "\xBA\x92\xAE\xA2\xA0\xE0 \xB3\x91\xE3\xAC\xAC\xA0\xBA\r\n"
    "\xC7\xC4\xC4\xC4\xC4\xC4\xC4\xC5\xC4\xC4\xC4\xC4\xC4\xB6\r\n"
    "\xBA\x95\xAB\xA5\xA1  \xB3   12\xBA\r\n"
    "\xBA\x8C\xAE\xAB\xAE\xAA\xAE\xB3  345\xBA\r\n"
    "\xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCF\xCD\xCD\xCD\xCD\xCD\xBC\r\n"
    "\fpage two\r\n";

class SelectionTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        shellState().documentPath = writeFile("table.txt", kTable);
        shellState().dosOverride = DosOverride::Dos;
        start();
        ASSERT_EQ(view()->record()->pageCount, 2);
    }

    // The middle of a cell of the page shown, in viewport pixels, from the record's own
    // measures: rows lineHeight apart below the text top, columns charWidth apart from the
    // left margin, 0.01 inch scaled by the zoom.
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

    void drag(QPoint from, QPoint to) {
        QWidget* port = view()->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(port, (from + to) / 2);
        QTest::mouseMove(port, to);
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
    }

    QString copied() {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
        return QGuiApplication::clipboard()->text();
    }
};

}  // namespace

TEST_F(SelectionTest, DragSelectsTheCellsBetweenPressAndPointerAndCtrlCCopiesThem) {
    ASSERT_FALSE(view()->isCommandEnabled(CmCopy));
    EXPECT_TRUE(view()->selectionText().empty());
    EXPECT_EQ(copied(), QStringLiteral("before"));  // nothing selected: the clipboard stays

    // The names column, trailing blanks of "Хлеб  " trimmed.
    drag(cellCentre(3, 1), cellCentre(4, 6));
    ASSERT_TRUE(view()->selection());
    EXPECT_EQ(*view()->selection(), (CellRange{3, 4, 1, 6}));
    EXPECT_EQ(copied(), QStringLiteral("Хлеб\nМолоко"));
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Скопировано: 2 стр. × 6 симв."));
    // The count is of the cells selected, trailing blanks and all.
    drag(cellCentre(3, 1), cellCentre(3, 6));
    EXPECT_EQ(copied(), QStringLiteral("Хлеб"));
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Скопировано: 1 стр. × 6 симв."));

    // Dragged up and to the left, over the rule and the bars.
    drag(cellCentre(4, 12), cellCentre(2, 7));
    EXPECT_EQ(copied(), QStringLiteral("┼─────\n│   12\n│  345"));

    // The whole table through the menu's command, dragged on past the page's last row and
    // column: the rows and columns end where the page's do.
    const QSize port = view()->viewport()->size();
    drag(cellCentre(0, 0), QPoint(port.width() - 2, port.height() - 2));
    view()->runCommand(CmCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("╔══════╤═════╗\n"
                                                                   "║Товар │Сумма║\n"
                                                                   "╟──────┼─────╢\n"
                                                                   "║Хлеб  │   12║\n"
                                                                   "║Молоко│  345║\n"
                                                                   "╚══════╧═════╝"));
}

TEST_F(SelectionTest, TheSelectionIsTintedUntilAClickOrAnotherPageClearsIt) {
    const QPoint blank = cellCentre(3, 5);  // a blank cell after "Хлеб"
    const QPoint outside = cellCentre(3, 20);
    drag(cellCentre(3, 4), cellCentre(4, 6));
    ASSERT_TRUE(view()->selection());
    QImage shot = view()->viewport()->grab().toImage();
    const QColor tinted = shot.pixelColor(blank);
    EXPECT_LT(tinted.red(), 220) << "the selected blank cell is tinted";
    EXPECT_GT(tinted.blue(), tinted.red());
    EXPECT_EQ(shot.pixelColor(outside), QColor(Qt::white));

    // A click without a drag clears it, and the page is white again.
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 2));
    EXPECT_FALSE(view()->selection());
    EXPECT_TRUE(view()->selectionText().empty());
    EXPECT_FALSE(view()->isCommandEnabled(CmCopy));
    shot = view()->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(blank), QColor(Qt::white));

    // A move smaller than the drag distance is a click too.
    drag(cellCentre(1, 1), cellCentre(1, 3));
    ASSERT_TRUE(view()->selection());
    const QPoint at = cellCentre(1, 1);
    QTest::mousePress(view()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(view()->viewport(), at + QPoint(1, 0));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, Qt::NoModifier, at + QPoint(1, 0));
    EXPECT_FALSE(view()->selection());

    // Another page clears it; so does the same page shown again after one.
    drag(cellCentre(1, 1), cellCentre(3, 3));
    ASSERT_TRUE(view()->selection());
    view()->runCommand(CmNextPage);
    EXPECT_FALSE(view()->selection());
    EXPECT_FALSE(view()->isCommandEnabled(CmCopy));
}

TEST_F(SelectionTest, ZoomedAndScrolledTheDragStillMeetsTheCellsUnderThePointer) {
    for (int i = 0; i < 4; ++i) view()->runCommand(CmZoomIn);
    view()->scrollTo(1, 2);
    ASSERT_GT(view()->hPos() + view()->vPos(), 0) << "the view does not scroll at this zoom";
    const QPoint from = cellCentre(3, 1), to = cellCentre(4, 6);
    ASSERT_TRUE(view()->viewport()->rect().contains(from) &&
                view()->viewport()->rect().contains(to));
    drag(from, to);
    EXPECT_EQ(copied(), QStringLiteral("Хлеб\nМолоко"));
}

TEST_F(SelectionTest, HeldPastTheEdgeTheDragScrollsThePageAndTakesInWhatComesIntoView) {
    for (int i = 0; i < 6; ++i) view()->runCommand(CmZoomIn);
    view()->scrollTo(0, 0);
    // Only the frame's first rows are in view: the viewport ends above its last row.
    QWidget* port = view()->viewport();
    frame->resize(frame->width(), frame->height() - (port->height() - cellCentre(2, 0).y()));
    QApplication::processEvents();
    ASSERT_LT(port->height(), cellCentre(4, 0).y());
    const QPoint from = cellCentre(1, 1);
    ASSERT_TRUE(port->rect().contains(from));
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(port, from + QPoint(20, 0));
    // Held below the bottom edge, over the cell where the last row will come into view.
    QTest::mouseMove(port, QPoint(cellCentre(4, 6).x(), port->height() + 30));
    const int before = view()->vPos(), across = view()->hPos();
    for (int i = 0; i < 50 && view()->vPos() == before; ++i) QTest::qWait(20);
    EXPECT_GT(view()->vPos(), before);
    QTest::qWait(300);
    EXPECT_EQ(view()->hPos(), across) << "held below the edge only, the page moves only down";
    // Each step takes in the cells that came under the pointer, before any release.
    ASSERT_TRUE(view()->selection());
    const CellRange held = *view()->selection();
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier,
                        QPoint(cellCentre(4, 6).x(), port->height() + 30));
    ASSERT_TRUE(view()->selection());
    EXPECT_EQ(held, *view()->selection());
    // From the name of the first row down through the rows the scroll brought in.
    const QString text = copied();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Товар"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Молоко"))) << text.toStdString();
    // Released, the page stays where it is.
    const int after = view()->vPos();
    QTest::qWait(100);
    EXPECT_EQ(view()->vPos(), after);
}

// The same across: held right of the edge, the page moves left and the columns that come
// into view join the selection while the button is still down.
TEST_F(SelectionTest, HeldPastTheRightEdgeTheDragScrollsAcross) {
    for (int i = 0; i < 6; ++i) view()->runCommand(CmZoomIn);
    view()->scrollTo(0, 0);
    QWidget* port = view()->viewport();
    frame->resize(frame->width() - (port->width() - cellCentre(0, 4).x()), frame->height());
    QApplication::processEvents();
    ASSERT_LT(port->width(), cellCentre(0, 12).x());
    const QPoint from = cellCentre(1, 1);
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(port, from + QPoint(0, 20));
    const QPoint held(port->width() + 30, cellCentre(1, 0).y());
    QTest::mouseMove(port, held);
    const int before = view()->hPos();
    for (int i = 0; i < 50 && view()->hPos() == before; ++i) QTest::qWait(20);
    ASSERT_GT(view()->hPos(), before);
    // Just after the first step: the selection ends at the column now under the pointer.
    ASSERT_TRUE(view()->selection());
    const CellRange whileHeld = *view()->selection();
    const double cell = cellCentre(1, 1).x() - cellCentre(1, 0).x();
    int under = 0;
    while (under < 40 && cellCentre(1, under).x() + cell / 2 <= held.x()) ++under;
    EXPECT_EQ(whileHeld.lastColumn, under);
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, held);
}

TEST_F(SelectionTest, CtrlCInTheFindFieldCopiesTheFieldsText) {
    drag(cellCentre(3, 1), cellCentre(4, 6));
    ASSERT_TRUE(view()->selection());
    view()->runCommand(CmFind);
    QLineEdit* field = frame->findBar()->field();
    QTest::keyClicks(field, "abc");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
}
