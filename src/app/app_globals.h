// What the window shares process-wide: the application's printer, the message sink, the view,
// the frame and the tool bar's settings list. The shown document is the view's (document()).
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

namespace folvek {

class PrinterSettings;
class QtMessages;
class ReportView;

QtMessages& appMessages();

// Set and cleared by their owners (the view owns the printer, the frame the rest). The
// widgets are guarded: one destroyed by Qt before its owner cleared it reads as null here.
struct AppObjects {
    PrinterSettings* printer = nullptr;
    QPointer<ReportView> view;
    QPointer<QMainWindow> frame;
    QPointer<QComboBox> settingsList;  // the tool bar's list of settings files
};
AppObjects& app();

// Registers the program's icons (the resources live in a static library).
void initResources();

}  // namespace folvek
