// What the window shares process-wide: the one pager, the application's
// printer, the message sink, and the frame's fields that many commands refresh.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

namespace folvek {

class pager;
class PrinterSettings;
class QtMessages;
class TRulerWin;

QtMessages& appMessages();

// Set and cleared by their owners (the view owns pager and printer, the frame the rest). The
// widgets are guarded: one destroyed by Qt before its owner cleared it reads as null here.
struct AppObjects {
    pager* thePager = nullptr;
    PrinterSettings* printer = nullptr;
    QPointer<TRulerWin> view;
    QPointer<QMainWindow> frame;
    QPointer<QLabel> fileNameField;
    QPointer<QLabel> pageField;
    QPointer<QLabel> encodingField;
    QPointer<QComboBox> settingsList;  // combo box 5555
};
AppObjects& app();

// Registers the program's icons (the resources live in a static library).
void initResources();

}  // namespace folvek
