// Template PARAM: 48 controls in tab order, positions in dialog units.
#include "param_template.h"

namespace folvek {

const DialogTemplate& paramTemplate() {
    using K = ControlKind;
    static const DialogTemplate t{
        "PARAM",
        "Параметры страницы",
        206,
        277,
        "MS Sans Serif",
        8,
        {
            {K::Group, -1, "Шрифт", 2, 2, 200, 33},
            {K::Text, 121, "Название шрифта:", 7, 10, 78, 8},
            {K::Edit, kParamFontName, "", 7, 18, 80, 12},
            {K::Text, 123, "&Размер:", 90, 10, 32, 8},
            {K::Edit, kParamFontPoints, "", 90, 18, 28, 12},
            {K::Button, kParamChooseFont, "Выбор шрифта", 128, 16, 60, 14},
            {K::Group, -1, "Поля (мм)", 2, 36, 200, 40},
            {K::Text, -1, "Левое:", 6, 46, 27, 8},
            {K::Edit, kParamLeftMargin, "", 41, 45, 38, 12},
            {K::Text, -1, "Верхнее:", 5, 60, 34, 8},
            {K::Edit, kParamTopMargin, "", 41, 59, 38, 12},
            {K::Text, -1, "Нижнее:", 84, 60, 32, 10},
            {K::Edit, kParamBottomMargin, "", 118, 59, 38, 12},
            {K::Group, 129, "Ориентация", 2, 79, 200, 19},
            {K::Radio, kParamPortrait, "Книжная", 52, 84, 50, 12},
            {K::Radio, kParamLandscape, "Альбомная", 112, 84, 60, 12},
            {K::Text, 112, "Толщина линий:", 3, 100, 60, 8},
            {K::Edit, kParamPenWidth, "", 63, 99, 20, 12},
            {K::Text, 114, "Высота строк,%:", 93, 100, 59, 8},
            {K::Edit, kParamHeightString, "", 154, 99, 24, 12},
            {K::Group, -1, "Рисунки *.BMP", 2, 112, 200, 98},
            {K::Text, -1, "В начале документа", 6, 123, 74, 11},
            {K::Text, -1, "Имя файла:", 6, 134, 43, 8},
            {K::Edit, kParamTopFile, "", 49, 132, 109, 12},
            {K::Button, kParamTopChoose, "Выбор", 162, 132, 35, 14},
            {K::Text, -1, "Размер,%:", 6, 146, 38, 8},
            {K::Edit, kParamCompress1, "", 49, 146, 29, 12},
            {K::CheckBox, kParamIsTopPicture, "Выводить", 82, 147, 46, 12},
            {K::CheckBox, kParamInAll1, "На всех листах", 130, 147, 68, 12},
            {K::Text, -1, "В конце документа", 6, 160, 74, 10},
            {K::Text, -1, "Имя файла:", 6, 171, 43, 8},
            {K::Edit, kParamBottFile, "", 49, 169, 109, 12},
            {K::Button, kParamBotChoose, "Выбор", 162, 169, 35, 14},
            {K::Text, -1, "Размер,%:", 6, 183, 38, 8},
            {K::Edit, kParamCompress2, "", 49, 182, 29, 12},
            {K::CheckBox, kParamIsBotPicture, "Выводить", 82, 183, 46, 12},
            {K::CheckBox, kParamInAll2, "На всех листах", 130, 183, 64, 13},
            {K::CheckBox, kParamAsBackground, "Как фон", 82, 194, 44, 12},
            {K::CheckBox, kParamInTextEnd, "В конце текста", 130, 194, 68, 12},
            {K::CheckBox, kParamIsNumPage, "Нумерация страниц", 4, 212, 87, 12},
            {K::Text, -1, "Кодировка:", 98, 213, 40, 8},
            {K::ComboList, kParamEncoding, "", 140, 210, 62, 70},
            {K::CheckBox, kParamIsDos, "Преобразовывать из DOS формата", 4, 222, 151, 12},
            {K::CheckBox, kParamIsWrap, "Переносить длинные строки", 4, 232, 146, 12},
            {K::CheckBox, kParamFitWidth, "Вписывать по ширине листа", 4, 242, 146, 12},
            {K::Button, kParamOk, "OK", 18, 258, 44, 16},
            {K::Button, kParamSaveAs, "&Сохранить как...", 68, 258, 68, 16},
            {K::Button, kParamCancel, "Отмена", 143, 258, 44, 16},
        },
    };
    return t;
}

}  // namespace folvek
