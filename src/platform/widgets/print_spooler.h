// The spooler side of a print job: one document of pages on a device. The job drives it; the
// QPrinter spooler sends the pages to the print system (CUPS) or to a PDF file.
#pragma once

#include <QPainter>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

class QPrinter;

namespace folvek {

class DeviceContext;
class PdfDocument;
class QtDeviceContext;

class PrintSpooler {
  public:
    virtual ~PrintSpooler() = default;

    // Starts the document named `title`; the device to draw on, or null when the printer gives
    // none. The device stays valid until close() or abort().
    virtual DeviceContext* open(const std::string& title) = 0;
    virtual QSize pageSize() const = 0;  // device pixels
    // False when the spooler failed; the job then ends.
    virtual bool startPage() = 0;
    virtual bool endPage() = 0;
    virtual bool close() = 0;
    // Drops the document: nothing of it is printed.
    virtual void abort() = 0;
    // "device" and "port" as the abort dialog names them.
    virtual QString deviceName() const = 0;
    virtual QString portName() const = 0;
};

// The command that hands a spool file to CUPS, as Qt's own CUPS engine would submit it.
QStringList lpArguments(const QPrinter& printer, const QString& title, const QString& file);
// "lp" and the arguments as bytes; the argument that is the title becomes `titleBytes`, the
// document's name as the file system holds it, which a QString may not carry (non-UTF-8).
std::vector<std::string> lpCommand(const QStringList& args, const QString& title,
                                   const std::string& titleBytes);

class QPrinterSpooler : public PrintSpooler {
  public:
    explicit QPrinterSpooler(QPrinter& printer);
    ~QPrinterSpooler() override;

    DeviceContext* open(const std::string& title) override;
    QSize pageSize() const override;
    bool startPage() override;
    bool endPage() override;
    bool close() override;
    void abort() override;
    QString deviceName() const override;
    QString portName() const override;

  protected:
    // Whether the print system still has the printer's queue (a PDF printer always is).
    virtual bool printerPresent() const;

  private:
    bool failed() const;
    bool submit();
    void dropSpoolFile();

    bool openPdf(const QString& file);

    // Jobs for a print queue are drawn into a spool file of ours and handed to CUPS with lp
    // once complete, so that a cancelled job never reaches the queue and a refused one is
    // noticed. Without lp, Qt hands the job over itself. The spool file and the output of the
    // PDF printer are written by our own PDF writer.
    std::unique_ptr<QTemporaryDir> spoolDir_;
    QString spoolFile_;
    QString title_;
    std::string titleBytes_;

    QPrinter& printer_;
    QPainter painter_;
    std::unique_ptr<QtDeviceContext> dc_;
    std::unique_ptr<PdfDocument> pdf_;
    bool pageOpen_ = false;
    int pages_ = 0;
};

}  // namespace folvek
