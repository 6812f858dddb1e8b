// The program's numbered texts (menus, hints, messages, filters). Texts are UTF-8; filter
// lists hold NUL-separated pairs, so the lookup returns a std::string with embedded NULs.
#pragma once

#include <string>

namespace folvek {

// The texts that are not a command's hint (those are found by the command's number).
enum StringId : int {
    StrCannotOpenFile = 1000,
    StrNoPrinterContext = 1001,
    StrBitmapFilter = 1002,
    StrFileTooLarge = 1004,
    StrSaveChanges = 1005,
    StrPageOfPages = 1006,
    StrOutOfMemory = 1008,
    StrMenuOpen = 1009,
    StrMenuEdit = 1010,
    StrMenuPrint = 1011,
    StrMenuPrinterSetup = 1012,
    StrMenuFont = 1013,
    StrMenuParameters = 1014,
    StrMenuExit = 1015,
    StrTextFileFilter = 1016,
    StrCannotOpenSource = 1017,
    StrCannotOpenOutput = 1018,
    StrRewriteInWindows = 1019,
    StrSettingsFilter = 1025,
    StrMarginsTooLarge = 1026,
    StrPictureOpenError = 1027,
    StrMenuCopyTable = 1028,
};

// The entry with that number (a StringId or a command's), or an empty text.
std::string loadString(int id);

}  // namespace folvek
