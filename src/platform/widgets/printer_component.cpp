// The application's printer.
#include "printer_component.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>

#include "print_dialog.h"
#include "print_spooler.h"
#include "qt_device_context.h"

namespace folvek {

Printer::Printer() {
    init(QPrinterInfo::defaultPrinter());
}

Printer::Printer(const QPrinterInfo& info) {
    init(info);
}

Printer::~Printer() = default;

void Printer::init(const QPrinterInfo& info) {
    if (!info.isNull()) {
        printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        return;
    }
    // No print system: layout still needs a page, so the current printer writes PDF files.
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setPageSize(QPageSize(QPageSize::A4));
}

bool Printer::printsToFile() const {
    return printer_->outputFormat() == QPrinter::PdfFormat;
}

bool Printer::hasDeviceMode() const {
    return printsToFile() || printer_->isValid();
}

void Printer::setLandscape(bool landscape) {
    printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool Printer::landscape() const {
    return printer_->pageLayout().orientation() == QPageLayout::Landscape;
}

std::unique_ptr<LayoutDevice> Printer::createLayoutDevice() {
    if (!hasDeviceMode()) return nullptr;
    // Measuring needs the printer's geometry only; a painter on the printer would start a job.
    const QPageLayout layout = printer_->pageLayout();
    const QSizeF printable = layout.paintRect(QPageLayout::Millimeter).size();
    if (printable.isEmpty()) return nullptr;
    const int res = printer_->resolution();
    return std::make_unique<QtDeviceContext>(nullptr, res, res, printable);
}

PrintOutcome Printer::print(QWidget* parent, Printout& printout, bool prompt) {
    lastJob_ = {};
    const PageRangeInfo info = printout.pageInfo();
    // Each job proposes the whole document again; a range chosen for the last job is not kept.
    printer_->setPrintRange(QPrinter::AllPages);
    printer_->setFromTo(0, 0);

    // Print to file proposes the document's own name: Qt's print dialog makes NAME.pdf of the
    // job's name, the file prompt below is given the whole path.
    const QString proposal = proposedFileName(printout.title());
    if (!proposal.isEmpty()) printer_->setDocName(QFileInfo(proposal).fileName());
    if (prompt) {
        PrintDialogOffer offer;
        offer.minPage = info.minPage;
        offer.maxPage = info.maxPage;
        offer.pageNumbers = info.minPage != 0;
        offer.note = info.note;
        if (!printDialog_ || !printDialog_(*printer_, offer, parent))
            return PrintOutcome::NotStarted;
    }
    // A file printer asks for the file of every job, unless the dialog just named one.
    if (printsToFile() && (!prompt || printer_->outputFileName().isEmpty())) {
        const QString file = fileName_ ? fileName_(parent, proposal) : QString();
        if (file.isEmpty()) return PrintOutcome::NotStarted;
        printer_->setOutputFileName(file);
    }

    const bool chosen = prompt && printer_->printRange() == QPrinter::PageRange;
    PageRange range = printRange(info, chosen, printer_->fromPage(), printer_->toPage());
    // A print queue turns the pages round itself (lp gets "outputorder=reverse"); a file is
    // written backwards here.
    range.reverse = printsToFile() && printer_->pageOrder() == QPrinter::LastPageFirst;

    // Copies the driver makes itself (CUPS does) are one pass; the others are printed here.
    int passes = 1;
    const int copies = std::max(1, printer_->copyCount());
    if (!printer_->supportsMultipleCopies() && copies > 1) {
        passes = copies;
        printer_->setCopyCount(1);
    }

    std::unique_ptr<PrintSpooler> spooler =
        spooler_ ? spooler_(*printer_) : std::make_unique<QPrinterSpooler>(*printer_);
    struct CopiesBack {
        QPrinter& p;
        int n;
        bool restore;
        ~CopiesBack() {
            if (restore) p.setCopyCount(n);
        }
    } back{*printer_, copies, passes > 1};

    lastJob_ = runPrintJob(printout, *spooler, range, passes, parent);
    return lastJob_.cancelled ? PrintOutcome::Cancelled : PrintOutcome::Printed;
}

bool Printer::setup(QWidget* parent) {
    return setupDialog_ && setupDialog_(*printer_, parent);
}

bool Printer::runPrintDialog(QPrinter& printer, const PrintDialogOffer& offer, QWidget* parent) {
    FolvekPrintDialog dialog(&printer, parent, offer.pageNumbers, offer.minPage, offer.maxPage);
    dialog.setNote(offer.note);
    return dialog.exec() == QDialog::Accepted;
}

bool Printer::runSetupDialog(QPrinter& printer, QWidget* parent) {
    // The print dialog without the job's choices: printer, paper, orientation and properties.
    FolvekPrintDialog dialog(&printer, parent, false, 0, 0);
    dialog.setWindowTitle(QStringLiteral("Настройка принтера"));
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
    const int copies = printer.copyCount();
    const bool ok = dialog.exec() == QDialog::Accepted;
    printer.setCopyCount(copies);  // copies belong to a job, not to the set-up
    return ok;
}

QString Printer::askFileName(QWidget* parent, const QString& proposal) {
    return QFileDialog::getSaveFileName(parent, QString(), proposal, QStringLiteral("PDF (*.pdf)"));
}

QString Printer::proposedFileName(const std::string& title) {
    if (title.empty()) return QString();
    const QFileInfo doc(QString::fromStdString(title));
    if (doc.fileName().isEmpty()) return QString();
    return doc.dir().filePath(doc.completeBaseName() + QStringLiteral(".pdf"));
}

}  // namespace folvek
