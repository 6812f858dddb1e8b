// The application's printer: one QPrinter for the system's default printer (Qt's PDF printer,
// A4, when the system has none). Layout measures on it, applyOrientation edits its page
// layout, and it runs the print set-up dialog and print jobs.
#pragma once

#include <QPrinter>
#include <functional>
#include <memory>
#include <optional>

#include "print_job.h"
#include "printer_settings.h"
#include "printout.h"

class QPrinterInfo;
class QWidget;

namespace folvek {

class PrintSpooler;

// What the print dialog is asked to offer.
struct PrintDialogOffer {
    int minPage = 0;
    int maxPage = 0;
    bool pageNumbers = false;  // false: the page range cannot be chosen
    bool selection = false;    // the selection range is never offered
    QString note;              // what the dialog shows first (lines cut at the sheet's edge)
};

enum class PrintOutcome {
    Printed,
    NotStarted,  // the dialog (or the file name prompt) was cancelled: nothing printed
    Cancelled,   // "Отмена" during the job
};

class Printer : public PrinterSettings {
  public:
    // Shows the print dialog over the printer; the choices (printer, range, copies, file) are
    // left in the printer as QPrintDialog leaves them. False: cancelled.
    using PrintDialogStep =
        std::function<bool(QPrinter&, const PrintDialogOffer&, QWidget* parent)>;
    // Shows the set-up dialog over the printer. False: cancelled.
    using SetupDialogStep = std::function<bool(QPrinter&, QWidget* parent)>;
    // Asks where a print-to-file job goes, proposing a file (the document's name with .pdf);
    // empty: cancelled.
    using FileNameStep = std::function<QString(QWidget* parent, const QString& proposal)>;
    using SpoolerFactory = std::function<std::unique_ptr<PrintSpooler>(QPrinter&)>;

    Printer();                                   // the system's default printer
    explicit Printer(const QPrinterInfo& info);  // a named printer (a null info: the PDF printer)
    ~Printer() override;

    // PrinterSettings
    bool hasDeviceMode() const override;
    bool orientationSupported() const override { return true; }
    void setLandscape(bool landscape) override;
    bool landscape() const override;
    std::unique_ptr<LayoutDevice> createLayoutDevice() override;

    // Runs a print job for `printout`, with the print dialog when `prompt`. `parent` owns the
    // dialogs and is disabled while the job runs. Throws PrintError when the printer gives no
    // device or the print system fails part-way.
    PrintOutcome print(QWidget* parent, Printout& printout, bool prompt);
    // The print set-up dialog; true when it was confirmed.
    bool setup(QWidget* parent);

    QPrinter& printer() { return *printer_; }
    const QPrinter& printer() const { return *printer_; }
    bool printsToFile() const;
    // False when jobs would go to Qt's PDF printer: the system has no default printer (and none
    // was chosen in the print dialog since).
    bool hasDefaultPrinter() const { return systemPrinter_.value_or(!printsToFile()); }
    // Tests on a machine without printers take a fake spooler for a system printer this way.
    void setSystemPrinter(std::optional<bool> known) { systemPrinter_ = known; }
    const PrintJobResult& lastJob() const { return lastJob_; }

    // The dialogs and the spooler, replaceable so that jobs can run without a person.
    void setPrintDialog(PrintDialogStep step) { printDialog_ = std::move(step); }
    void setSetupDialog(SetupDialogStep step) { setupDialog_ = std::move(step); }
    void setFileNameDialog(FileNameStep step) { fileName_ = std::move(step); }
    void setSpoolerFactory(SpoolerFactory factory) { spooler_ = std::move(factory); }

    // The standard dialogs.
    static bool runPrintDialog(QPrinter& printer, const PrintDialogOffer& offer, QWidget* parent);
    static bool runSetupDialog(QPrinter& printer, QWidget* parent);
    // The save dialog of a print-to-file job, proposing `proposal`.
    static QString askFileName(QWidget* parent, const QString& proposal);
    // The file a print-to-file job of `title` (the document's path) proposes: the document's
    // name with .pdf, beside it; empty without a document.
    static QString proposedFileName(const std::string& title);

  private:
    void init(const QPrinterInfo& info);

    std::unique_ptr<QPrinter> printer_;
    PrintDialogStep printDialog_ = runPrintDialog;
    SetupDialogStep setupDialog_ = runSetupDialog;
    FileNameStep fileName_ = askFileName;
    SpoolerFactory spooler_;
    PrintJobResult lastJob_;
    std::optional<bool> systemPrinter_;
};

}  // namespace folvek
