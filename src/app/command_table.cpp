// The menu bar, the command keys and the tool-bar gadgets.
#include "command_table.h"

#include "command_ids.h"
#include "string_table.h"

namespace folvek {

const std::vector<CommandInfo>& commandInfos() {
    static const std::vector<CommandInfo> infos = {
        {CmOpen, "Открыть\tF3"},
        {CmSaveAs, "Сохранить как..."},
        {CmPrint, "Печать ...\tF9"},
        {CmPrintCurrent, "Печать\tCtrl+F9"},
        {CmPrinterSetup, "Настройка принтера..."},
        {CmSend, "Отправить...\tF8"},
        {CmExit, "Выход\tEsc"},
        {CmFont, "Шрифт\tF6"},
        {CmParameters, "Параметры\tF5"},
        {CmEdit, "Редактировать\tF4"},
        {CmFontLarger, "Увеличить шрифт\tCtrl + "},
        {CmFontSmaller, "Уменьшить шрифт\tCtrl -"},
        {CmPortrait, "Книжная\tP"},
        {CmLandscape, "Альбомная\tL"},
        {CmLoadSettings, "Загрузить параметры ...\tCtrl + F3"},
        {CmSaveSettings, "Сохранить параметры как ..."},
        {CmPrevPage, "На предыдущую страницу\tCtrl+PgUp"},
        {CmNextPage, "На следующую страницу\tCtrl+PgDn"},
        {CmFirstPage, "На первую страницу\tCtrl+Home"},
        {CmLastPage, "На последнюю страницу\tCtrl+End"},
        {CmZoomIn, "Увеличить масштаб\t+"},
        {CmZoomOut, "Уменьшить масштаб\t-"},
        {CmHelp, "Содержание помощи\tF1"},
        {CmWebSite, "Web-сайт разработчиков"},
        {CmMailAuthor, "Послать E-Mail автору"},
        {CmAbout, "О программе..."},
        {CmFind, "Найти...\tCtrl+F"},
        {CmFindNext, "Найти далее\tCtrl+G"},
        {CmFindPrevious, "Найти назад\tShift+Ctrl+G"},
        {CmReload, "Обновить\tCtrl+R"},
        {CmExportPdf, "Сохранить в PDF..."},
        {CmCopy, "Копировать\tCtrl+C"},
        {CmCopyPage, "Копировать страницу"},
        {CmJobLayout, "Страницы задания принтера"},
        {CmCopyTable, "Копировать таблицу"},
        {CmSaveTables, "Сохранить таблицы..."},
        {CmGoToPage, "Перейти на страницу...\tCtrl+Shift+P"},
        {CmFitWidth, "Вписать по ширине\tCtrl+W"},
    };
    return infos;
}

const CommandInfo* findCommand(int id) {
    for (const CommandInfo& s : commandInfos())
        if (s.id == id) return &s;
    return nullptr;
}

QList<QKeySequence> acceleratorsFor(int id) {
    const auto ctrl = Qt::ControlModifier;
    const auto pad = Qt::KeypadModifier;
    switch (id) {
        case CmOpen:
            return {QKeySequence(Qt::Key_F3)};
        case CmPrint:
            return {QKeySequence(Qt::Key_F9), QKeySequence(ctrl | Qt::Key_P)};
        case CmHelp:
            return {QKeySequence(Qt::Key_F1)};
        case CmEdit:
            return {QKeySequence(Qt::Key_F4)};
        case CmFont:
            return {QKeySequence(Qt::Key_F6)};
        case CmParameters:
            return {QKeySequence(Qt::Key_F5)};
        case CmZoomIn:
            return {QKeySequence(pad | Qt::Key_Plus)};
        case CmZoomOut:
            return {QKeySequence(pad | Qt::Key_Minus)};
        case CmSend:
            return {QKeySequence(Qt::Key_F8)};
        case CmWebSite:
            return {QKeySequence(ctrl | Qt::Key_V)};
        case CmPrintCurrent:
            return {QKeySequence(ctrl | Qt::Key_F9)};
        case CmLoadSettings:
            return {QKeySequence(ctrl | Qt::Key_F3)};
        case CmFontLarger:
            return {QKeySequence(ctrl | pad | Qt::Key_Plus)};
        case CmFontSmaller:
            return {QKeySequence(ctrl | pad | Qt::Key_Minus)};
        case CmExit:
            return {QKeySequence(Qt::Key_Escape)};
        case CmPortrait:
            return {QKeySequence(Qt::Key_P)};
        case CmLandscape:
            return {QKeySequence(Qt::Key_L)};
        case CmFind:
            return {QKeySequence(ctrl | Qt::Key_F)};
        case CmFindNext:
            return {QKeySequence(ctrl | Qt::Key_G)};
        case CmFindPrevious:
            return {QKeySequence(ctrl | Qt::ShiftModifier | Qt::Key_G)};
        case CmReload:
            return {QKeySequence(ctrl | Qt::Key_R)};
        case CmCopy:
            return {QKeySequence(ctrl | Qt::Key_C)};
        case CmGoToPage:
            return {QKeySequence(ctrl | Qt::ShiftModifier | Qt::Key_P)};
        case CmFitWidth:
            return {QKeySequence(ctrl | Qt::Key_W)};
        default:
            return {};
    }
}

QString commandHint(int id) {
    return QString::fromStdString(loadString(id));
}

const std::vector<MenuSpec>& menuBarSpec() {
    static const std::vector<MenuSpec> menus = {
        {"Файл",
         {{CmOpen},
          {-1,
           "Последние файлы",
           {CmRecentFile, CmRecentFile + 1, CmRecentFile + 2, CmRecentFile + 3, CmRecentFile + 4,
            CmRecentFile + 5, CmRecentFile + 6, CmRecentFile + 7, CmRecentFile + 8,
            CmRecentFile + 9}},
          {CmReload},
          {CmSaveAs},
          {CmExportPdf},
          {CmSaveTables},
          {0},
          {CmPrint},
          {CmPrintCurrent},
          {CmPrinterSetup},
          {0},
          {CmSend},
          {0},
          {CmExit}}},
        {"Правка",
         {{CmFind}, {CmFindNext}, {CmFindPrevious}, {0}, {CmCopy}, {CmCopyPage}, {CmCopyTable}}},
        {"Настройка",
         {{CmFont},
          {CmParameters},
          {CmEdit},
          {0},
          {CmFontLarger},
          {CmFontSmaller},
          {CmFitWidth},
          {0},
          {-1, "Ориентация страницы", {CmPortrait, CmLandscape}},
          {0},
          {CmLoadSettings},
          {CmSaveSettings}}},
        {"Вид",
         {{CmPrevPage},
          {CmNextPage},
          {0},
          {CmFirstPage},
          {CmLastPage},
          {CmGoToPage},
          {0},
          {CmZoomIn},
          {CmZoomOut},
          {0},
          {CmJobLayout}}},
        {"Помощь", {{CmHelp}, {CmWebSite}, {CmMailAuthor}, {0}, {CmAbout}}},
    };
    return menus;
}

const std::vector<ToolGadget>& toolBarSpec() {
    constexpr int kNoPicture = 0;
    constexpr ToolGadget kToolSeparator{0, kNoPicture};
    static const std::vector<ToolGadget> gadgets = {
        {CmExit, 9},
        kToolSeparator,
        {CmOpen, 1},
        {CmPrintCurrent, 2},
        {CmPrinterSetup, 11},
        {CmSend, 15},
        kToolSeparator,
        {CmFont, 3},
        {CmParameters, 10},
        {CmEdit, 12},
        kToolSeparator,
        {CmFontLarger, 16},
        {CmFontSmaller, 17},
        kToolSeparator,
        {CmFirstPage, 4},
        {CmPrevPage, 5},
        {CmNextPage, 6},
        {CmLastPage, 7},
        kToolSeparator,
        {CmZoomIn, 13},
        {CmZoomOut, 14},
        kToolSeparator,
        {IdSettingsList, kNoPicture},
        kToolSeparator,
        {CmHelp, 8},
    };
    return gadgets;
}

}  // namespace folvek
