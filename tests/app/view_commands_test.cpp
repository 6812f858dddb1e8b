// The frame at start: enablers, caption and page text, the menu bar, accelerators, hints, the tool
// bar and the right-button menu.
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app_fixture.h"
#include "app_globals.h"
#include "command_ids.h"
#include "command_table.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "main_frame.h"
#include "main_tool_bar.h"
#include "mul_div.h"
#include "path_field.h"
#include "printer_settings.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

QStringList actionTexts(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("—") : a->text());
    return out;
}

}  // namespace

TEST_F(AppTest, WithoutDocumentOnlyDocumentFreeCommandsAreEnabled) {
    start();
    ReportView* v = view();
    for (int id : {CmSaveAs, CmEdit, CmSend, CmPrevPage, CmNextPage, CmFirstPage, CmLastPage}) {
        EXPECT_FALSE(v->isCommandEnabled(id)) << id;
        EXPECT_FALSE(v->commandAction(id)->isEnabled()) << id;
    }
    for (int id : {CmOpen, CmPrint, CmPrintCurrent, CmPrinterSetup, CmExit, CmFont, CmParameters,
                   CmFontLarger, CmFontSmaller, CmPortrait, CmLandscape, CmLoadSettings,
                   CmSaveSettings, CmHelp, CmWebSite, CmMailAuthor, CmAbout, CmZoomIn, CmZoomOut})
        EXPECT_TRUE(v->commandAction(id)->isEnabled()) << id;

    EXPECT_EQ(frame->windowTitle(), QStringLiteral("FolVk - "));
    EXPECT_EQ(frame->fileNameField()->text(), QString());
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из 1"));
}

TEST_F(AppTest, ZoomEnablersFollowAZoomReadFromTheSettingsFile) {
    writeFile("FOLVK95.INI", "[Folvk]\nZoom=11\n");
    start();
    EXPECT_FALSE(view()->commandAction(CmZoomIn)->isEnabled());
    EXPECT_TRUE(view()->commandAction(CmZoomOut)->isEnabled());
    stop();
    // Out of range from a hand-edited file: used as it is, zoom out is off below 2.
    writeFile("FOLVK95.INI", "[Folvk]\nZoom=0\n");
    start();
    EXPECT_EQ(view()->record()->Zoom, 0);
    EXPECT_TRUE(view()->commandAction(CmZoomIn)->isEnabled());
    EXPECT_FALSE(view()->commandAction(CmZoomOut)->isEnabled());
}

TEST_F(AppTest, ALongPathLosesItsMiddleInTheFieldAndShowsWholeAsTooltip) {
    ASSERT_TRUE(
        QDir(dir.path()).mkpath(QStringLiteral("quarterly/reports/of/the/northern/branch")));
    shellState().documentPath =
        pagedDocument("quarterly/reports/of/the/northern/branch/summary-2026.txt", 1);
    start();
    const QString path = QString::fromStdString(shellState().documentPath);
    auto* field = qobject_cast<PathField*>(frame->fileNameField());
    ASSERT_TRUE(field);
    EXPECT_EQ(field->text(), path);
    EXPECT_EQ(field->toolTip(), path);
    const QString shown = field->shownText();
    EXPECT_LT(shown.size(), path.size());
    EXPECT_TRUE(shown.startsWith(path.left(3))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("summary-2026.txt"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
}

TEST_F(AppTest, TheEncodingFieldShowsWhatTheDocumentIsIn) {
    start();
    EXPECT_EQ(frame->encodingField()->text(), QString());  // no document
    stop();
    // A UTF-8 report with one character 1251 cannot show, opened without options.
    shellState().documentPath =
        writeFile("u.txt", "\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82 \xf0\x9f\x98\x80\n");
    start();
    EXPECT_EQ(frame->encodingField()->text(), QStringLiteral("UTF-8, знаков «?»: 1"));
    stop();
    // /d fixes the encoding of the first load.
    shellState().dosOverride = DosOverride::Dos;
    start();
    EXPECT_EQ(frame->encodingField()->text(), QStringLiteral("866"));
    EXPECT_EQ(view()->record()->IsDos, 1);
}

TEST_F(AppTest, CaptionFieldsAndEnablersWithADocument) {
    shellState().documentPath = pagedDocument("five.txt", 5);
    start();
    const QString path = QString::fromStdString(shellState().documentPath);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("FolVk - ") + path);
    EXPECT_EQ(frame->fileNameField()->text(), path);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из 5"));
    EXPECT_TRUE(view()->commandAction(CmSaveAs)->isEnabled());
    EXPECT_TRUE(view()->commandAction(CmEdit)->isEnabled());
    EXPECT_TRUE(view()->commandAction(CmNextPage)->isEnabled());
    EXPECT_FALSE(view()->commandAction(CmPrevPage)->isEnabled());
    // Enablers are refreshed after every command.
    view()->runCommand(CmLastPage);
    EXPECT_FALSE(view()->commandAction(CmNextPage)->isEnabled());
    EXPECT_TRUE(view()->commandAction(CmFirstPage)->isEnabled());
}

TEST_F(AppTest, MenuBarHoldsMenu100) {
    start();
    QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("Файл"));
    EXPECT_EQ(actionTexts(menus[0]->menu()),
              (QStringList{"Открыть\tF3", "Последние файлы", "Обновить\tCtrl+R", "Сохранить как...",
                           "Сохранить в PDF...", "Сохранить таблицы...", "—", "Печать ...\tF9",
                           "Печать\tCtrl+F9", "Настройка принтера...", "—", "Отправить...\tF8", "—",
                           "Выход\tEsc"}));
    EXPECT_EQ(
        actionTexts(menus[1]->menu()),
        (QStringList{"Найти...\tCtrl+F", "Найти далее\tCtrl+G", "Найти назад\tShift+Ctrl+G", "—",
                     "Копировать\tCtrl+C", "Копировать страницу", "Копировать таблицу"}));
    menus.removeAt(1);
    EXPECT_EQ(actionTexts(menus[1]->menu()),
              (QStringList{"Шрифт\tF6", "Параметры\tF5", "Редактировать\tF4", "—",
                           "Увеличить шрифт\tCtrl + ", "Уменьшить шрифт\tCtrl -",
                           "Вписать по ширине\tCtrl+W", "—", "Ориентация страницы", "—",
                           "Загрузить параметры ...\tCtrl + F3", "Сохранить параметры как ..."}));
    EXPECT_EQ(actionTexts(menus[1]->menu()->actions()[8]->menu()),
              (QStringList{"Книжная\tP", "Альбомная\tL"}));
    EXPECT_EQ(actionTexts(menus[2]->menu()),
              (QStringList{"На предыдущую страницу\tCtrl+PgUp", "На следующую страницу\tCtrl+PgDn",
                           "—", "На первую страницу\tCtrl+Home", "На последнюю страницу\tCtrl+End",
                           "Перейти на страницу...\tCtrl+Shift+P", "—", "Увеличить масштаб\t+",
                           "Уменьшить масштаб\t-", "—", "Страницы задания принтера"}));
    EXPECT_EQ(actionTexts(menus[3]->menu()),
              (QStringList{"Содержание помощи\tF1", "Web-сайт разработчиков",
                           "Послать E-Mail автору", "—", "О программе..."}));
    // "Последние файлы" has ten places, each its own command, the latest file first.
    const MenuEntry& recent = menuBarSpec()[0].entries[1];
    ASSERT_EQ(recent.id, -1);
    std::vector<int> places;
    for (int i = 0; i < 10; ++i) places.push_back(CmRecentFile + i);
    EXPECT_EQ(recent.submenu, places);
}

TEST_F(AppTest, AcceleratorsAndHints) {
    start();
    ReportView* v = view();
    EXPECT_EQ(v->commandAction(CmZoomIn)->shortcut(),
              QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    EXPECT_EQ(v->commandAction(CmFontSmaller)->shortcut(),
              QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus));
    EXPECT_EQ(v->commandAction(CmPrint)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::Key_F9),
                                   QKeySequence(Qt::ControlModifier | Qt::Key_P)}));
    EXPECT_EQ(v->commandAction(CmPortrait)->shortcut(), QKeySequence(Qt::Key_P));
    EXPECT_EQ(v->commandAction(CmExit)->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_EQ(v->commandAction(CmOpen)->statusTip(), QStringLiteral("Открыть файл для просмотра"));
    // Without a hint the bar still shows an (empty) hint over the fields.
    EXPECT_EQ(v->commandAction(CmWebSite)->statusTip().trimmed(), QString());
    EXPECT_FALSE(v->commandAction(CmWebSite)->statusTip().isEmpty());

    // A shown hint hides the two fields; removing it brings them back.
    frame->statusBar()->showMessage(v->commandAction(CmOpen)->statusTip());
    EXPECT_FALSE(frame->pageField()->isVisible());
    frame->statusBar()->clearMessage();
    EXPECT_TRUE(frame->pageField()->isVisible());
}

TEST_F(AppTest, PortraitAndLandscapeKeysWorkAnywhereInTheFrame) {
    start();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_L);
    EXPECT_EQ(view()->record()->Orient, 1);
    EXPECT_TRUE(app().printer->landscape());
    QTest::keyClick(view(), Qt::Key_P);
    EXPECT_EQ(view()->record()->Orient, 0);
    EXPECT_FALSE(app().printer->landscape());
    // The keypad's plus zooms in; the main keyboard's plus does not.
    const int zoom = view()->record()->Zoom;
    QTest::keyClick(view(), Qt::Key_Plus);
    EXPECT_EQ(view()->record()->Zoom, zoom);
    QTest::keyClick(view(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view()->record()->Zoom, zoom + 1);
    QTest::keyClick(view(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view()->record()->Zoom, zoom);
}

TEST_F(AppTest, PointingAtAButtonShowsItsHintInsteadOfTheFields) {
    start();
    QWidget* open = frame->toolBar()->widgetForAction(view()->commandAction(CmOpen));
    ASSERT_TRUE(open);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(open, &enter);
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Открыть файл для просмотра"));
    EXPECT_FALSE(frame->pageField()->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(open, &leave);
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString());
    EXPECT_TRUE(frame->pageField()->isVisible());
}

TEST_F(AppTest, ToolBarHasItsGadgetsInOrder) {
    start();
    QToolBar* bar = frame->toolBar();
    EXPECT_EQ(bar->objectName(), QStringLiteral("id32041"));
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("Toolbar"));
    EXPECT_TRUE(bar->isMovable());
    EXPECT_TRUE(bar->isFloatable());
    const QList<QAction*> items = bar->actions();
    ASSERT_EQ(items.size(), 25);
    const int expected[] = {CmExit,         0,          CmOpen,      CmPrintCurrent,
                            CmPrinterSetup, CmSend,     0,           CmFont,
                            CmParameters,   CmEdit,     0,           CmFontLarger,
                            CmFontSmaller,  0,          CmFirstPage, CmPrevPage,
                            CmNextPage,     CmLastPage, 0,           CmZoomIn,
                            CmZoomOut,      0,          -1,          0,
                            CmHelp};
    // Each button's picture is its bitmap resource's: door, folder, printer, ...
    const int bitmaps[] = {9, 0, 1, 2, 11, 15, 0,  3,  10, 12, 0, 16, 17,
                           0, 4, 5, 6, 7,  0,  13, 14, 0,  0,  0, 8};
    auto picture = [](const QIcon& icon) { return icon.pixmap(20, 20).toImage(); };
    for (int i = 0; i < 25; ++i) {
        if (expected[i] == 0) {
            EXPECT_TRUE(items[i]->isSeparator()) << i;
        } else if (expected[i] == -1) {
            EXPECT_EQ(bar->widgetForAction(items[i])->objectName(), "id5555");
        } else {
            EXPECT_EQ(items[i]->data().toInt(), expected[i]) << i;
            EXPECT_EQ(picture(items[i]->icon()),
                      picture(QIcon(QStringLiteral(":/icons/%1.svg").arg(bitmaps[i]))))
                << i;
        }
    }
    // Buttons follow the enablers and carry the hints.
    auto* prev =
        qobject_cast<QToolButton*>(bar->widgetForAction(view()->commandAction(CmPrevPage)));
    ASSERT_TRUE(prev);
    EXPECT_FALSE(prev->isEnabled());
    EXPECT_EQ(view()->commandAction(CmOpen)->statusTip(),
              QStringLiteral("Открыть файл для просмотра"));
    EXPECT_TRUE(view()->hasFocus() || QApplication::focusWidget() == nullptr);
}

TEST_F(AppTest, SettingsListShowsIniFilesSortedWithoutCaseAndSelectsTheCurrentOne) {
    writeFile("beta.ini", "");
    writeFile("FOLVK95.INI", "[Folvk]\n");
    writeFile("Alpha.ini", "");
    writeFile("notes.txt", "");
    start();
    QComboBox* list = frame->toolBar()->settingsList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "Alpha.ini");
    EXPECT_EQ(list->itemText(1), "beta.ini");
    EXPECT_EQ(list->itemText(2), "FOLVK95.INI");
    EXPECT_EQ(list->currentText(), "FOLVK95.INI");
    EXPECT_FALSE(list->isEditable());
}

// The settings file in use is selected in the list also when it is the first entry.
TEST_F(AppTest, SettingsListSelectsTheCurrentFileFirstInTheList) {
    writeFile("zeta.ini", "");
    writeFile("FOLVK95.INI", "[Folvk]\n");
    start();
    QComboBox* list = frame->toolBar()->settingsList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(list->currentText(), "FOLVK95.INI");
}

// Choosing another file in the list loads it: its settings apply to the document shown.
TEST_F(AppTest, ChoosingASettingsFileInTheListLoadsIt) {
    writeFile("FOLVK95.INI", "[Folvk]\nisWrap=NO\n");
    writeFile("wide.ini", "[Folvk]\nisWrap=YES\n");
    shellState().documentPath = writeFile("report.txt", "line\r\n");
    start();
    ASSERT_EQ(view()->record()->isWrap, 0);
    QComboBox* list = frame->toolBar()->settingsList();
    ASSERT_EQ(list->count(), 2);
    const int wide = list->findText(QStringLiteral("wide.ini"));
    ASSERT_GE(wide, 0);
    list->setCurrentIndex(wide);
    emit list->activated(wide);
    EXPECT_EQ(view()->record()->isWrap, 1);
    EXPECT_EQ(shellState().IniFileName, "wide.ini");
    EXPECT_NE(view()->record()->iniPath.find("wide.ini"), std::string::npos);
}

// Choosing an entry, the first one too, reads that settings file; no entry reads nothing.
TEST_F(AppTest, ChoosingAnEntryOfTheSettingsListReadsThatFile) {
    writeFile("Alpha.ini", "[Folvk]\nZoom=7\n");
    writeFile("FOLVK95.INI", "[Folvk]\n");
    start();
    QComboBox* list = frame->toolBar()->settingsList();
    ASSERT_EQ(list->count(), 2);
    ASSERT_NE(view()->record()->Zoom, 7);
    for (int none : {-1, 2}) {
        emit list->activated(none);
        EXPECT_EQ(shellState().IniFileName, "FOLVK95.INI") << none;
    }
    emit list->activated(0);
    EXPECT_EQ(shellState().IniFileName, "Alpha.ini");
    EXPECT_EQ(view()->record()->Zoom, 7);
}

TEST_F(AppTest, RightButtonMenuHoldsItsItemsAndOpensAtThePointer) {
    start();
    QMenu* menu = view()->contextMenu();
    EXPECT_EQ(actionTexts(menu),
              (QStringList{"Открыть файл\tF3", "Редактировать\tF4", "Печать ...\tF9",
                           "Настройка принтера", "—", "Выбор шрифта\tF6", "Параметры\tF5", "—",
                           "Копировать таблицу", "—", "Выход"}));
    EXPECT_EQ(menu->actions().last()->data().toInt(), static_cast<int>(CmFrameworkExit));
    EXPECT_FALSE(menu->actions()[1]->isEnabled());  // edit needs a document

    const QPoint local(40, 30);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local,
                            view()->viewport()->mapToGlobal(local));
    QApplication::sendEvent(view()->viewport(), &event);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_LE((menu->pos() - view()->viewport()->mapToGlobal(local)).manhattanLength(), 2);
    menu->hide();

    // Its last item closes the frame through the can-close check.
    shellState().printing = true;
    menu->actions().last()->trigger();
    EXPECT_TRUE(frame->isVisible());
    shellState().printing = false;
    menu->actions().last()->trigger();
    EXPECT_FALSE(frame->isVisible());
}

// The status bar's fields are as wide as their characters: the file name 30, the page 25, the
// code page 24, the width note 60, each with the same frame around them.
TEST_F(AppTest, StatusFieldsAreAsWideAsTheirCharacters) {
    start();
    const int average = QFontMetrics(frame->statusBar()->font()).averageCharWidth();
    const int name = frame->fileNameField()->width();
    EXPECT_EQ(name - frame->pageField()->width(), 5 * average);
    EXPECT_EQ(name - frame->encodingField()->width(), 6 * average);
    EXPECT_EQ(frame->widthField()->width() - name, 30 * average);
    const std::pair<QLabel*, int> fields[] = {{frame->fileNameField(), 30},
                                              {frame->pageField(), 25},
                                              {frame->encodingField(), 24},
                                              {frame->widthField(), 60}};
    for (const auto& [field, chars] : fields)
        EXPECT_GE(field->contentsRect().width(), chars * average) << chars;
}

// The one-point font steps from the menu never reach 0 points.
TEST_F(AppTest, FontStepsStopAtOnePoint) {
    shellState().documentPath = writeFile("steps.txt", "text\n");
    start();
    DocumentRecord& doc = *view()->record();
    const int dpi = screenLogPixelsY(view());
    doc.logFont.height = pointsToHeight(2, dpi);
    view()->runCommand(CmFontSmaller);
    EXPECT_EQ(heightToPoints(doc.logFont.height, dpi), 1);
    const std::int32_t onePoint = doc.logFont.height;
    view()->runCommand(CmFontSmaller);
    EXPECT_EQ(doc.logFont.height, onePoint);
    view()->runCommand(CmFontLarger);
    EXPECT_EQ(heightToPoints(doc.logFont.height, dpi), 2);
}
