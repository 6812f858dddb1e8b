// The QPrinter spooler.
#include "print_spooler.h"

#include <unistd.h>

#include <QFile>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "pdf_document_qt.h"
#include "qt_device_context.h"
#include "run_program.h"

namespace folvek {

namespace {
// Qt's CUPS engine keeps the dialog's printer options under this private key.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
}  // namespace

QPrinterSpooler::QPrinterSpooler(QPrinter& printer) : printer_(printer) {}

// QPrinter keeps a queue it was made for after the print system dropped it, and CUPS jobs
// sent to a missing queue vanish without an error; so the print system is asked each time.
bool QPrinterSpooler::printerPresent() const {
    if (printer_.outputFormat() == QPrinter::PdfFormat) return true;
    return !QPrinterInfo::printerInfo(printer_.printerName()).isNull();
}

QPrinterSpooler::~QPrinterSpooler() {
    if (painter_.isActive() || pdf_) abort();
}

DeviceContext* QPrinterSpooler::open(const std::string& title) {
    if (!printer_.isValid() || !printerPresent()) return nullptr;
    title_ = QString::fromStdString(title);
    titleBytes_ = title;
    printer_.setDocName(title_);
    if (printer_.outputFormat() == QPrinter::NativeFormat &&
        !QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty()) {
        spoolDir_ = std::make_unique<QTemporaryDir>();
        if (!spoolDir_->isValid()) return nullptr;
        // Not ".pdf": that name would switch the printer to Qt's PDF writer.
        spoolFile_ = spoolDir_->filePath(QStringLiteral("job.spool"));
        if (!openPdf(spoolFile_)) {
            dropSpoolFile();
            return nullptr;
        }
        return &pdf_->device();
    }
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        if (printer_.outputFileName().isEmpty() || !openPdf(printer_.outputFileName()))
            return nullptr;
        return &pdf_->device();
    }
    // The painter's origin is the top-left corner of the printable area, as layout assumed.
    printer_.setFullPage(false);
    if (!painter_.begin(&printer_)) {
        dropSpoolFile();
        return nullptr;
    }
    const int res = printer_.resolution();
    dc_ = std::make_unique<QtDeviceContext>(
        &painter_, res, res, printer_.pageLayout().paintRect(QPageLayout::Millimeter).size());
    pages_ = 0;
    return dc_.get();
}

bool QPrinterSpooler::openPdf(const QString& file) {
    pdf_ = std::make_unique<PdfDocument>(pdfDocumentOptions(title_));
    if (!pdf_->open(file.toStdString())) {
        pdf_.reset();
        return false;
    }
    pages_ = 0;
    return true;
}

QSize QPrinterSpooler::pageSize() const {
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).size();
}

bool QPrinterSpooler::failed() const {
    if (pdf_) return pdf_->failed();
    return !painter_.isActive() || printer_.printerState() == QPrinter::Error ||
           printer_.printerState() == QPrinter::Aborted;
}

bool QPrinterSpooler::startPage() {
    if (pdf_) {
        pdf_->beginPage(pdfPageGeometry(printer_.pageLayout()));
        pageOpen_ = true;
        return !failed();
    }
    // The painter starts on the first page; every further page is a new sheet.
    if (pages_ > 0 && !printer_.newPage()) return false;
    pageOpen_ = true;
    return !failed();
}

bool QPrinterSpooler::endPage() {
    pageOpen_ = false;
    if (pdf_ && !pdf_->endPage()) return false;
    ++pages_;
    return !failed();
}

bool QPrinterSpooler::close() {
    if (pdf_) {
        bool ok = pdf_->finish();
        pdf_.reset();
        if (ok && !spoolFile_.isEmpty()) ok = submit();
        dropSpoolFile();
        return ok && printerPresent();
    }
    if (!painter_.isActive()) return false;
    bool ok = painter_.end() && printer_.printerState() != QPrinter::Error;
    dc_.reset();
    if (ok && !spoolFile_.isEmpty()) ok = submit();
    dropSpoolFile();
    return ok && printerPresent();
}

void QPrinterSpooler::abort() {
    if (pdf_) {
        pdf_->abort();  // nothing of the job reaches the queue or the file
        pdf_.reset();
        dropSpoolFile();
        return;
    }
    printer_.abort();
    if (painter_.isActive()) painter_.end();
    dc_.reset();
    dropSpoolFile();
}

bool QPrinterSpooler::submit() {
    // lp's "request id is ..." belongs in the log with the program's other notes, not on the
    // standard output a script may be reading.
    ProgramStreams streams;
    streams.output = STDERR_FILENO;
    const ProgramRun run =
        runProgram(lpCommand(lpArguments(printer_, title_, spoolFile_), title_, titleBytes_), {},
                   120000, streams);
    return run.started && run.exitCode == 0;
}

std::vector<std::string> lpCommand(const QStringList& args, const QString& title,
                                   const std::string& titleBytes) {
    std::vector<std::string> argv{"lp"};
    for (const QString& a : args)
        argv.push_back(a == title ? titleBytes : QFile::encodeName(a).toStdString());
    return argv;
}

void QPrinterSpooler::dropSpoolFile() {
    if (spoolFile_.isEmpty()) return;
    printer_.setOutputFileName(QString());
    spoolFile_.clear();
    spoolDir_.reset();
}

QStringList lpArguments(const QPrinter& printer, const QString& title, const QString& file) {
    // The queue without an lpoptions instance, which only names a set of defaults.
    const QString queue = printer.printerName().section(QLatin1Char('/'), 0, 0);
    QStringList args{QStringLiteral("-d"), queue, QStringLiteral("-t"), title};
    auto option = [&args](const QString& name, const QString& value) {
        args << QStringLiteral("-o") << (value.isEmpty() ? name : name + QLatin1Char('=') + value);
    };
    const QPageLayout layout = printer.pageLayout();
    option(QStringLiteral("media"), layout.pageSize().key());
    const int copies = printer.copyCount();
    if (copies > 1) {
        args << QStringLiteral("-n") << QString::number(copies);
        if (printer.collateCopies()) option(QStringLiteral("Collate"), QStringLiteral("True"));
    }
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (printer.duplex()) {
        case QPrinter::DuplexNone:
            option(QStringLiteral("sides"), QStringLiteral("one-sided"));
            break;
        case QPrinter::DuplexAuto:
            option(QStringLiteral("sides"), portrait ? QStringLiteral("two-sided-long-edge")
                                                     : QStringLiteral("two-sided-short-edge"));
            break;
        case QPrinter::DuplexLongSide:
            option(QStringLiteral("sides"), QStringLiteral("two-sided-long-edge"));
            break;
        case QPrinter::DuplexShortSide:
            option(QStringLiteral("sides"), QStringLiteral("two-sided-short-edge"));
            break;
    }
    if (!portrait) option(QStringLiteral("landscape"), QString());
    // "Last page first" in the dialog: the spool file keeps page order, CUPS reverses it.
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        option(QStringLiteral("outputorder"), QStringLiteral("reverse"));
    // What the print dialog's properties page chose, as name/value pairs.
    QPrintEngine* engine = const_cast<QPrinter&>(printer).printEngine();
    const QStringList cups = engine ? engine->property(kCupsOptions).toStringList() : QStringList();
    for (int i = 0; i + 1 < cups.size(); i += 2) option(cups[i], cups[i + 1]);
    args << QStringLiteral("--") << file;
    return args;
}

QString QPrinterSpooler::deviceName() const {
    if (printer_.outputFormat() == QPrinter::PdfFormat) return QStringLiteral("PDF");
    // The printer as the print system describes it; the queue is the "port".
    const QString queue = printer_.printerName();
    const QString description = QPrinterInfo::printerInfo(queue).description();
    return description.isEmpty() ? queue : description;
}

QString QPrinterSpooler::portName() const {
    // A PDF goes to its file; a queue job is spooled to a file of ours first, which is no
    // place the user knows, so the queue is named instead.
    if (printer_.outputFormat() == QPrinter::PdfFormat) return printer_.outputFileName();
    return printer_.printerName();
}

}  // namespace folvek
