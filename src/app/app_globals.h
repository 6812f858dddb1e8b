// What the window shares process-wide: the one pager, the application's
// printer, the message sink, and the frame's fields that many commands refresh.
#pragma once

class QComboBox;
class QLabel;
class QMainWindow;

namespace folvek {

class pager;
class PrinterSettings;
class QtMessages;
class TRulerWin;

QtMessages& appMessages();

// Set and cleared by their owners (the view owns pager and printer, the frame the rest).
struct AppObjects {
    pager* thePager = nullptr;
    PrinterSettings* printer = nullptr;
    TRulerWin* view = nullptr;
    QMainWindow* frame = nullptr;
    QLabel* fileNameField = nullptr;
    QLabel* pageField = nullptr;
    QLabel* encodingField = nullptr;
    QComboBox* settingsList = nullptr;  // combo box 5555
};
AppObjects& app();

// Registers the program's icons (the resources live in a static library).
void initResources();

}  // namespace folvek
