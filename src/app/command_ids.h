// Command identifiers of the menu, accelerators, tool bar and right-button menu.
#pragma once

namespace folvek {

enum Command : int {
    CmOpen = 101,
    CmParameters = 102,
    CmHelp = 103,
    CmAbout = 104,
    CmFont = 106,
    CmPrint = 107,
    CmExit = 109,
    CmNextPage = 220,
    CmPrevPage = 221,
    CmFirstPage = 222,
    CmLastPage = 223,
    CmZoomIn = 231,
    CmZoomOut = 232,
    CmPrintCurrent = 233,
    CmPrinterSetup = 11842,
    CmSaveAs = 11843,
    CmEdit = 11844,
    CmSend = 11845,
    CmWebSite = 11846,
    CmMailAuthor = 11847,
    CmLandscape = 11848,
    CmLoadSettings = 11849,
    CmPortrait = 11850,
    CmSaveSettings = 11851,
    CmFontLarger = 11852,
    CmFontSmaller = 11853,
    CmFind = 11860,
    CmFindNext = 11861,
    CmFindPrevious = 11862,
    CmGoToPage = 11863,
    CmReload = 11864,
    CmExportPdf = 11865,
    CmCopyPage = 11866,
    CmCopy = 11867,
    CmFitWidth = 11868,
    CmJobLayout = 11869,  // the printer job's own pages or the report layout
    CmCopyTable = 11854,
    CmSaveTables = 11855,
    CmRecentFile = 11870,     // the recent documents: CmRecentFile .. CmRecentFile + 9
    CmFrameworkExit = 24310,  // closes the main window, subject to the can-close check
    IdSettingsList = 5555,
    IdToolBar = 32041,
};

}  // namespace folvek
