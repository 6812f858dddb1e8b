// What the window shares process-wide: the one record, the application's
// printer, the message sink, and the frame's fields that many commands refresh.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

namespace folvek {

class DocumentRecord;
class PrinterSettings;
class QtMessages;
class ReportView;

QtMessages& appMessages();

// Set and cleared by their owners (the view owns record and printer, the frame the rest). The
// widgets are guarded: one destroyed by Qt before its owner cleared it reads as null here.
struct AppObjects {
    DocumentRecord* theRecord = nullptr;
    PrinterSettings* printer = nullptr;
    QPointer<ReportView> view;
    QPointer<QMainWindow> frame;
    QPointer<QComboBox> settingsList;  // the tool bar's list of settings files
};
AppObjects& app();

// Registers the program's icons (the resources live in a static library).
void initResources();

}  // namespace folvek
