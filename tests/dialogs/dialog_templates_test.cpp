// The dialog templates against their resource tables, control by control: kind, identifier,
// text and rectangle in dialog units. A control one unit off overlaps its neighbour or leaves a
// gap the old dialog did not have.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <string>
#include <vector>

#include "about_dialog.h"
#include "dialog_template.h"
#include "editor_template.h"
#include "param_template.h"

using namespace folvek;

namespace {

using K = ControlKind;

struct Expected {
    ControlKind kind;
    int id;
    const char* text;
    int x, y, w, h;
};

void expectControls(const DialogTemplate& t, const std::vector<Expected>& want) {
    ASSERT_EQ(t.controls.size(), want.size()) << t.name;
    for (std::size_t i = 0; i < want.size(); ++i) {
        const DialogControl& c = t.controls[i];
        const Expected& e = want[i];
        const std::string where = std::string(t.name) + " #" + std::to_string(i) + " " + e.text;
        EXPECT_EQ(c.kind, e.kind) << where;
        EXPECT_EQ(c.id, e.id) << where;
        EXPECT_STREQ(c.text ? c.text : "", e.text) << where;
        EXPECT_EQ(c.x, e.x) << where;
        EXPECT_EQ(c.y, e.y) << where;
        EXPECT_EQ(c.w, e.w) << where;
        EXPECT_EQ(c.h, e.h) << where;
    }
}

}  // namespace

// "Параметры страницы": the old dialog's controls, then the code page field beside the page
// numbers and "Вписывать по ширине листа" under the wrap box, with the buttons and the frame
// 12 units lower to make room.
TEST(DialogTemplates, ParamHasTheResourcesControlsAndTheTwoAdded) {
    const DialogTemplate& t = paramTemplate();
    EXPECT_STREQ(t.name, "PARAM");
    EXPECT_STREQ(t.caption, "Параметры страницы");
    EXPECT_EQ(t.w, 206);
    EXPECT_EQ(t.h, 265 + 12);
    EXPECT_STREQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    expectControls(t, {
                          {K::Group, -1, "Шрифт", 2, 2, 200, 33},
                          {K::Text, 121, "Название шрифта:", 7, 10, 78, 8},
                          {K::Edit, 122, "", 7, 18, 80, 12},
                          {K::Text, 123, "&Размер:", 90, 10, 32, 8},
                          {K::Edit, 124, "", 90, 18, 28, 12},
                          {K::Button, 125, "Выбор шрифта", 128, 16, 60, 14},
                          {K::Group, -1, "Поля (мм)", 2, 36, 200, 40},
                          {K::Text, -1, "Левое:", 6, 46, 27, 8},
                          {K::Edit, 101, "", 41, 45, 38, 12},
                          {K::Text, -1, "Верхнее:", 5, 60, 34, 8},
                          {K::Edit, 102, "", 41, 59, 38, 12},
                          {K::Text, -1, "Нижнее:", 84, 60, 32, 10},
                          {K::Edit, 103, "", 118, 59, 38, 12},
                          {K::Group, 129, "Ориентация", 2, 79, 200, 19},
                          {K::Radio, 127, "Книжная", 52, 84, 50, 12},
                          {K::Radio, 128, "Альбомная", 112, 84, 60, 12},
                          {K::Text, 112, "Толщина линий:", 3, 100, 60, 8},
                          {K::Edit, 113, "", 63, 99, 20, 12},
                          {K::Text, 114, "Высота строк,%:", 93, 100, 59, 8},
                          {K::Edit, 117, "", 154, 99, 24, 12},
                          {K::Group, -1, "Рисунки *.BMP", 2, 112, 200, 98},
                          {K::Text, -1, "В начале документа", 6, 123, 74, 11},
                          {K::Text, -1, "Имя файла:", 6, 134, 43, 8},
                          {K::Edit, 104, "", 49, 132, 109, 12},
                          {K::Button, 115, "Выбор", 162, 132, 35, 14},
                          {K::Text, -1, "Размер,%:", 6, 146, 38, 8},
                          {K::Edit, 110, "", 49, 146, 29, 12},
                          {K::CheckBox, 105, "Выводить", 82, 147, 46, 12},
                          {K::CheckBox, 118, "На всех листах", 130, 147, 68, 12},
                          {K::Text, -1, "В конце документа", 6, 160, 74, 10},
                          {K::Text, -1, "Имя файла:", 6, 171, 43, 8},
                          {K::Edit, 106, "", 49, 169, 109, 12},
                          {K::Button, 116, "Выбор", 162, 169, 35, 14},
                          {K::Text, -1, "Размер,%:", 6, 183, 38, 8},
                          {K::Edit, 111, "", 49, 182, 29, 12},
                          {K::CheckBox, 107, "Выводить", 82, 183, 46, 12},
                          {K::CheckBox, 119, "На всех листах", 130, 183, 64, 13},
                          {K::CheckBox, 126, "Как фон", 82, 194, 44, 12},
                          {K::CheckBox, 130, "В конце текста", 130, 194, 68, 12},
                          {K::CheckBox, 108, "Нумерация страниц", 4, 212, 87, 12},
                          {K::Text, -1, "Кодировка:", 98, 213, 40, 8},
                          {K::ComboList, 131, "", 140, 210, 62, 70},
                          {K::CheckBox, 109, "Преобразовывать из DOS формата", 4, 222, 151, 12},
                          {K::CheckBox, 120, "Переносить длинные строки", 4, 232, 146, 12},
                          {K::CheckBox, 132, "Вписывать по ширине листа", 4, 242, 146, 12},
                          {K::Button, 1, "OK", 18, 258, 44, 16},
                          {K::Button, 6, "&Сохранить как...", 68, 258, 68, 16},
                          {K::Button, 2, "Отмена", 143, 258, 44, 16},
                      });
}

TEST(DialogTemplates, AboutAndEditorHaveTheResourcesControls) {
    const DialogTemplate& about = aboutTemplate();
    EXPECT_STREQ(about.name, "About");
    EXPECT_EQ(about.caption, nullptr);
    EXPECT_EQ(about.w, 163);
    EXPECT_EQ(about.h, 140);
    EXPECT_EQ(about.pointSize, 8);
    // The contact lines are this program's own, between the status lines and the button.
    expectControls(
        about, {
                   {K::Icon, -1, "", 4, 9, 0, 0},
                   {K::Text, -1, "Программа просмотра и печати текстовых файлов", 28, 7, 121, 20},
                   {K::Text, 101, "K R B Folvek", 28, 32, 60, 8},
                   {K::Text, -1, "Версия 2.12", 28, 42, 124, 8},
                   {K::Text, 106, "Загрузка...", 28, 56, 124, 8},
                   {K::Text, 105, "", 27, 66, 120, 8},
                   {K::Text, -1, "Разработчики: KRB Folvek", 28, 80, 130, 8},
                   {K::Text, -1, "Сайт: folvek.github.io", 28, 90, 130, 8},
                   {K::Text, -1, "Почта: folvek@users.noreply.github.com", 28, 100, 134, 8},
                   {K::DefButton, 2, "OK", 102, 118, 58, 14},
               });

    const DialogTemplate& editor = editorTemplate();
    EXPECT_STREQ(editor.name, "EDITOR");
    EXPECT_STREQ(editor.caption, "Редактирование документа");
    EXPECT_EQ(editor.w, 389);
    EXPECT_EQ(editor.h, 213);
    EXPECT_EQ(editor.pointSize, 8);
    expectControls(editor, {
                               {K::MultiEdit, 101, "", 4, 4, 380, 177},
                               {K::Button, 1, "OK", 8, 188, 50, 16},
                               {K::Button, 2, "Отмена", 72, 188, 50, 16},
                           });
}

// A template that names no font or size gets the dialogs' usual 8-point sans serif.
TEST(DialogTemplates, ATemplateWithoutAFontGetsEightPointSansSerif) {
    DialogTemplate t{"BARE", "", 10, 10, nullptr, 0, {}};
    QFont f = dialogFont(t);
    EXPECT_EQ(f.pointSize(), 8);
    EXPECT_EQ(f.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(f.styleHint(), QFont::SansSerif);
    t.fontName = "Courier";
    t.pointSize = 11;
    f = dialogFont(t);
    EXPECT_EQ(f.pointSize(), 11);
    EXPECT_EQ(f.family(), QStringLiteral("Courier"));
}

// A dialog unit is a quarter of the font's average letter width (the 52 Latin letters' advance
// over 52, to the nearest pixel) and an eighth of its line height, whatever font this machine has.
TEST(DialogTemplates, BaseUnitsAreTheAverageLetterRoundedAndTheLineHeight) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    for (int size = 6; size <= 60; size += 3) {
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(size);
        const QFontMetrics fm(font);
        const DialogBaseUnits u = dialogBaseUnits(font);
        SCOPED_TRACE(size);
        EXPECT_EQ(u.avgWidth, std::max(1L, std::lround(fm.horizontalAdvance(letters) / 52.0)));
        EXPECT_EQ(u.height, fm.height());
        EXPECT_EQ(u.toX(8), 2 * u.avgWidth);
        EXPECT_EQ(u.toY(16), 2 * u.height);
    }
}

// A list filled after the dialog was built is measured when the dialog first shows: the dialog
// widens until its longest entry fits, but never beyond twice its template's size.
TEST(DialogTemplates, ListsFilledLaterAreMeasuredWhenTheDialogShows) {
    static const DialogTemplate t{
        "LIST", "Список", 100, 40, "MS Sans Serif", 8, {{K::ComboList, 7, "", 4, 4, 40, 50}}};
    for (const int letters : {6, 400}) {
        QDialog d;
        buildDialog(&d, t);
        auto* list = qobject_cast<QComboBox*>(dialogItem(&d, 7));
        ASSERT_NE(list, nullptr);
        const DialogBaseUnits base = dialogBaseUnits(d.font());
        EXPECT_EQ(d.width(), base.toX(100));
        const QString entry(letters, QChar(u'Ж'));
        list->addItem(entry);
        d.show();
        QApplication::processEvents();
        // A line of text is no taller than before: the dialog keeps its height.
        EXPECT_EQ(d.height(), base.toY(40));
        if (letters == 6) {
            EXPECT_GT(d.width(), base.toX(100));
            EXPECT_GE(list->width(), list->fontMetrics().horizontalAdvance(entry));
        } else {
            EXPECT_EQ(d.width(), 2 * base.avgWidth * 100 / 4);  // the entry scrolls instead
        }
    }
}

// A control the template gives no width or no height (a placeholder that holds a text all the
// same) cannot fit any text: it is left out of the fitting, which would otherwise have no bound.
TEST(DialogTemplates, AControlOfNoSizeLeavesTheDialogAtItsTemplatesSize) {
    static const DialogTemplate t{"EMPTY",
                                  "Пусто",
                                  100,
                                  40,
                                  "MS Sans Serif",
                                  8,
                                  {{K::Text, 5, "Текст без места", 4, 4, 0, 8},
                                   {K::Text, 6, "Текст без высоты", 4, 14, 60, 0},
                                   {K::Button, 1, "OK", 4, 22, 40, 14}}};
    QDialog d;
    buildDialog(&d, t);
    d.show();
    QApplication::processEvents();
    const DialogBaseUnits base = dialogBaseUnits(d.font());
    EXPECT_EQ(d.size(), QSize(base.toX(100), base.toY(40)));
    const QWidget* ok = dialogItem(&d, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->geometry(), QRect(base.toX(4), base.toY(22), base.toX(40), base.toY(14)));
}
