// folvektopdf: the CUPS filter that lays a DOS or Windows text report out as the viewer prints
// it and writes the pages as PDF to standard output.
//
//   folvektopdf job-id user title copies options [file]
//
// Without a file the report is read from standard input. Messages go to standard error as
// "ERROR:", "WARNING:" and "INFO:" lines for the scheduler's log and the job's state. Copies and
// page selection are left to pdftopdf, which follows this filter in every CUPS chain that ends
// in PDF. Needs no display and no home directory; settings come from the system settings
// directory (/etc/folvek), never from the user who printed.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cups_job.h"
#include "cut_lines.h"
#include "document.h"
#include "document_record.h"
#include "document_title.h"
#include "export.h"
#include "job_interpreter.h"
#include "messages.h"
#include "page_layout_printer.h"
#include "printable_job.h"
#include "printed_job.h"
#include "retrying_io.h"
#include "string_table.h"
#include "temp_cleanup.h"
#include "text_encoding.h"

#ifndef FOLVEK_SYSTEM_SETTINGS_DIR
#define FOLVEK_SYSTEM_SETTINGS_DIR "/etc/folvek"
#endif

namespace folvek {
namespace {

// The filter's temporary files live in a folder of its own, so that the handler of a cancelled
// job can remove everything in it, the PDF writer's own temporary file included, and the spool's
// temporary directory is left as it was.
char gTempDir[4096];
char gTempFiles[2][4096];

void removeTempFiles() {
    temp_cleanup::removeAll();
    gTempDir[0] = '\0';
    for (char* path : gTempFiles) path[0] = '\0';
}

int makeTempFile(int slot, const char* stem) {
    gTempFiles[slot][0] = '\0';
    if (!gTempDir[0]) {
        const char* dir = std::getenv("TMPDIR");
        if (!dir || !*dir) dir = "/tmp";
        char name[sizeof gTempDir];
        std::snprintf(name, sizeof name, "%s/folvektopdf-XXXXXX", dir);
        if (!::mkdtemp(name)) return -1;
        std::memcpy(gTempDir, name, sizeof gTempDir);
        temp_cleanup::add(gTempDir, true);
    }
    std::snprintf(gTempFiles[slot], sizeof gTempFiles[slot], "%s/%s-XXXXXX", gTempDir, stem);
    const int fd = ::mkstemp(gTempFiles[slot]);
    if (fd < 0) gTempFiles[slot][0] = '\0';
    return fd;
}

// Standard input into a file of our own, since layout reads the report from a path.
bool spoolStandardInput(std::string* path, std::string* error) {
    const int fd = makeTempFile(0, "folvektopdf-in");
    if (fd < 0) {
        *error = std::string("cannot create a temporary file: ") + std::strerror(errno);
        return false;
    }
    const CopyStatus copied = copyToEnd(0, fd);
    if (copied != CopyStatus::Ok) {
        *error = std::string(copied == CopyStatus::ReadFailed ? "cannot read standard input: "
                                                              : "cannot write a temporary file: ") +
                 std::strerror(errno);
        ::close(fd);
        return false;
    }
    ::close(fd);
    *path = gTempFiles[0];
    return true;
}

// The report's first bytes, for the emptiness, binary and encoding checks.
bool readSample(const std::string& path, std::vector<unsigned char>* sample, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    sample->resize(kDetectSample);
    sample->resize(std::fread(sample->data(), 1, sample->size(), f));
    std::fclose(f);
    return true;
}

bool copyToStandardOutput(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return false;
    const bool ok = copyToEnd(fd, 1) == CopyStatus::Ok;
    ::close(fd);
    return ok;
}

// The core's messages as scheduler log lines. They never stop the job: the layout carries on
// with what it has, as it does in the viewer.
class FilterMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override {
        const char* level = icon == MsgIcon::Error || icon == MsgIcon::Warning ? "WARNING" : "INFO";
        if (text == loadString(StrMarginsTooLarge)) marginsTooLarge = true;
        std::string line = text;
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        const std::string shown = caption.empty() ? line : caption + ": " + line;
        std::fprintf(stderr, "%s: %s\n", level, escapeControls(shown).c_str());
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    bool marginsTooLarge = false;  // pagination found no room between the margins
};

QtMessageHandler qtDefaultHandler = nullptr;

// Qt's notes (no runtime directory, fonts) are debugging detail for the scheduler's log.
void qtToLog(QtMsgType type, const QMessageLogContext&, const QString& text) {
    std::fprintf(stderr, "%s: %s\n",
                 type == QtFatalMsg || type == QtCriticalMsg ? "ERROR" : "DEBUG",
                 escapeControls(text.toStdString()).c_str());
}

int fail(const std::string& text) {
    std::fprintf(stderr, "ERROR: %s\n", escapeControls(text).c_str());
    removeTempFiles();
    return 1;
}

std::string settingsDirectory() {
    const char* dir = std::getenv("FOLVEK_FILTER_SETTINGS_DIR");
    std::string d = dir && *dir ? dir : FOLVEK_SYSTEM_SETTINGS_DIR;
    if (d.back() != '/') d += '/';
    return d;
}

bool fileExists(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

// Characters per inch set the font's height, measured on the layout device and corrected once
// (a face's advance is not an exact share of its height); lines per inch set the line pitch.
// Each alone: a pitch keeps the line spacing the settings give, and the other way round.
void applyPitch(DocumentRecord& doc, const FilterJob& job) {
    if (job.cpi <= 0 && job.lpi <= 0) return;
    doc.paginate();
    const double settingsPitch = doc.lineHeight;  // hundredths of an inch per line
    if (job.cpi > 0) {
        const double target = 100.0 / job.cpi;  // hundredths of an inch per character
        doc.logFont.height = -std::max(1, static_cast<int>(std::lround(target / 0.6)));
        doc.paginate();
        if (doc.charWidth > 0) {
            const double h = -doc.logFont.height * target / doc.charWidth;
            doc.logFont.height = -std::max(1, static_cast<int>(std::lround(h)));
        }
    }
    doc.paginate();
    const double pitch = job.lpi > 0 ? 100.0 / job.lpi : settingsPitch;
    const double cell = doc.lineHeight * 100.0 / std::max(1, doc.HeightString);
    if (cell > 0)
        doc.HeightString = std::max(1, static_cast<int>(std::lround(100.0 * pitch / cell)));
}

void applyMargins(DocumentRecord& doc, PageLayoutPrinter& printer, const FilterJob& job) {
    // CUPS measures margins from the sheet's edge in points; the settings measure them from the
    // printable area in hundredths of an inch.
    const double hardware = printer.hardwareMarginMm() / 25.4 * 100;
    auto inset = [&](double pt) { return std::max(0.0, pt / 72.0 * 100 - hardware); };
    if (job.marginPt[0] >= 0) doc.LeftMargin = inset(job.marginPt[0]);
    if (job.marginPt[2] >= 0) doc.TopMargin = inset(job.marginPt[2]);
    if (job.marginPt[3] >= 0) doc.BottomMargin = inset(job.marginPt[3]);
    if (job.marginPt[1] >= 0) {
        const double room = printer.paperSizeMm().width() - 2 * printer.hardwareMarginMm();
        const double extra = job.marginPt[1] / 72.0 * 25.4 - printer.hardwareMarginMm();
        printer.setExtraRightMarginMm(std::clamp(extra, 0.0, std::max(0.0, room)));
    }
}

// The paper: the job's media or PageSize, else the queue's default from its PPD, else A4.
QPageSize::PageSizeId jobPaper(const FilterJob& job, std::string* from) {
    std::string name = job.paper;
    *from = "the job's media";
    if (name.empty()) {
        const char* ppd = std::getenv("PPD");
        std::FILE* f = ppd && *ppd ? std::fopen(ppd, "rb") : nullptr;
        if (f) {
            std::string text(1 << 20, '\0');
            text.resize(std::fread(text.data(), 1, text.size(), f));
            std::fclose(f);
            name = paperFromPpd(text);
            *from = "the queue's default";
        }
    }
    QPageSize::PageSizeId paper = QPageSize::A4;
    if (name.empty() || !paperFromName(QString::fromStdString(name), &paper)) *from = "A4";
    return paper;
}

// Margins that leave no room for one line of one character waste paper: the job fails.
bool noRoomForALine(const DocumentRecord& doc, const FilterMessages& messages) {
    const double columns = (doc.pageWidth * 10.0 - static_cast<double>(doc.LeftMargin)) /
                               std::max(1e-9, doc.charWidth) -
                           2;
    return messages.marginsTooLarge || doc.linesPerPage < 1 || columns < 1;
}

// The PDF's title: the job's name, else the file's; read in the document's encoding when it is
// not UTF-8.
QString pdfTitle(const DocumentRecord& doc, const char* jobTitle, const char* file) {
    std::string name = jobTitle ? jobTitle : "";
    if (name.empty() && file) name = baseName(file);
    return QString::fromStdString(titleFromName(name, doc.textEncoding));
}

int run(int argc, char** argv, const FilterJob& job, const std::string& input) {
    std::vector<unsigned char> sample;
    std::string error;
    if (!readSample(input, &sample, &error)) return fail(error);
    if (sample.empty()) {
        std::fputs("INFO: The document is empty; nothing to print\n", stderr);
        removeTempFiles();
        return 0;
    }
    const PrintableVerdict verdict = judgePrintJob(sample.data(), sample.size());
    if (!verdict.printable() && !job.force)
        return fail("the document is " + verdict.what +
                    ", not a report or a printer job; nothing printed (the option folvek-force "
                    "prints it anyway)");

    const std::string dir = settingsDirectory();
    std::string settings = job.settingsName.empty() ? "FOLVK95.INI" : job.settingsName;
    if (!job.settingsName.empty() && !fileExists(dir + settings))
        return fail("settings file " + quotedValue(settings) + " is not in " + dir);

    // Headless by design: the offscreen platform needs no display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(qtToLog);
    QGuiApplication app(argc, argv);

    std::string paperFrom;
    PageLayoutPrinter printer(jobPaper(job, &paperFrom));
    FilterMessages messages;
    RecordContext context;
    context.messages = &messages;
    context.printer = &printer;
    context.programDir = dir;
    printer::PrinterJobReader jobReader;
    if (job.orientation >= 0) {
        printer.setLandscape(job.orientation == 1);
        context.orientationForced = true;
    }

    DocumentRecord doc(context, settings, std::string());
    LoadOptions load;
    load.jobReader = &jobReader;
    load.layout = job.layout;
    // The job's encoding is the administrator's correction: it wins over detection.
    if (job.encoding != JobEncoding::Auto) load.dos = job.encoding == JobEncoding::Dos;
    if (job.fit >= 0) load.fitWidth = job.fit != 0;
    applyLoadOptions(doc, load);
    applyMargins(doc, printer, job);
    applyPitch(doc, job);
    if (!doc.loadText(input)) return fail("cannot read the document");
    if (!doc.paginate()) return fail("no device to lay the pages out on");
    const std::string paperName = printer.pageLayout().pageSize().key().toStdString();
    if (noRoomForALine(doc, messages))
        return fail("the margins leave no room for a line on " + paperName +
                    " paper; nothing printed");
    // The encoding the text was read in, as the loader found it: "code page 866", "UTF-8".
    const std::string label = encodingLabel(doc.textEncoding, doc.utf16);
    const bool codePage = label.find_first_not_of("0123456789") == std::string::npos;
    std::fprintf(stderr, "INFO: %d pages, %s%s, %s on %s (%s)\n", doc.pageCount,
                 codePage ? "code page " : "", label.c_str(),
                 printer.landscape() ? "landscape" : "portrait", paperName.c_str(),
                 paperFrom.c_str());
    if (doc.unmappableChars > 0)
        std::fprintf(stderr,
                     "WARNING: %lld characters that code page 1251 lacks are printed as \"?\"\n",
                     static_cast<long long>(doc.unmappableChars));
    const std::string cut = cutLinesWarning(doc, "the job option folvek-fit makes them fit");
    if (!cut.empty()) std::fprintf(stderr, "%s\n", cut.c_str());
    std::fprintf(stderr, "INFO: %s layout: %s\n", doc.jobLaidOut() ? "job" : "report",
                 doc.jobVerdict.reason.c_str());
    for (const std::string& w : doc.jobVerdict.warnings)
        std::fprintf(stderr, "WARNING: %s\n", w.c_str());

    const int out = makeTempFile(1, "folvektopdf-out");
    if (out < 0)
        return fail(std::string("cannot create a temporary file: ") + std::strerror(errno));
    ::close(out);
    ExportOptions options;
    options.title = pdfTitle(doc, argv[3], argc == 7 ? argv[6] : nullptr);
    const ExportResult r = exportPdf(doc, printer, QString::fromLocal8Bit(gTempFiles[1]), options);
    if (!r.ok) return fail("PDF: " + r.error.toStdString());
    // Only a finished PDF reaches the next filter: a job killed before this line prints nothing.
    if (!copyToStandardOutput(gTempFiles[1]))
        return fail(std::string("cannot write the PDF: ") + std::strerror(errno));
    removeTempFiles();
    return 0;
}

}  // namespace
}  // namespace folvek

int main(int argc, char** argv) {
    using namespace folvek;
    std::setvbuf(stderr, nullptr, _IOLBF, 0);
    // As in folvek-print: the PDF writer's page-sized buffers stay in the heap rather than being
    // mapped and unmapped for every page.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    if (argc < 6 || argc > 7) {
        std::fputs("Usage: folvektopdf job-id user title copies options [file]\n", stderr);
        return 1;
    }
    // A cancelled job (SIGTERM) removes the folder; the scheduler sees the job killed, never a
    // finished one.
    temp_cleanup::installHandlers();
    std::signal(SIGPIPE, SIG_IGN);  // a closed pipe shows as a write error, reported below

    JobOptions read = readJobOptions(parseCupsOptions(argv[5]));
    for (const std::string& w : read.warnings)
        std::fprintf(stderr, "WARNING: %s\n", escapeControls(w).c_str());
    if (!read.error.empty()) return fail(read.error);

    std::string input;
    if (argc == 7) {
        input = argv[6];
    } else {
        std::string error;
        if (!spoolStandardInput(&input, &error)) return fail(error);
    }
    return run(argc, argv, read.job, input);
}
