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
#include "document_record.h"
#include "export.h"
#include "messages.h"
#include "page_layout_printer.h"
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

bool writeAll(int fd, const char* data, std::size_t len) {
    while (len > 0) {
        const ssize_t n = ::write(fd, data, len);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        len -= static_cast<std::size_t>(n);
    }
    return true;
}

// Standard input into a file of our own, since layout reads the report from a path.
bool spoolStandardInput(std::string* path, std::string* error) {
    const int fd = makeTempFile(0, "folvektopdf-in");
    if (fd < 0) {
        *error = std::string("cannot create a temporary file: ") + std::strerror(errno);
        return false;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(0, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = std::string("cannot read standard input: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        if (!writeAll(fd, buf, static_cast<std::size_t>(n))) {
            *error = std::string("cannot write a temporary file: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
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
    char buf[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        if (!writeAll(1, buf, static_cast<std::size_t>(n))) {
            ok = false;
            break;
        }
    }
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
        std::string line = text;
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "%s: %s%s%s\n", level, caption.empty() ? "" : caption.c_str(),
                     caption.empty() ? "" : ": ", line.c_str());
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
};

QtMessageHandler qtDefaultHandler = nullptr;

// Qt's notes (no runtime directory, fonts) are debugging detail for the scheduler's log.
void qtToLog(QtMsgType type, const QMessageLogContext&, const QString& text) {
    std::fprintf(stderr, "%s: %s\n",
                 type == QtFatalMsg || type == QtCriticalMsg ? "ERROR" : "DEBUG",
                 text.toLocal8Bit().constData());
}

int fail(const std::string& text) {
    std::fprintf(stderr, "ERROR: %s\n", text.c_str());
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

// Characters and lines per inch become the font's height and the line pitch: measured on the
// layout device, then corrected once, since a face's advance is not an exact share of its height.
void applyPitch(DocumentRecord& doc, const FilterJob& job) {
    if (job.cpi > 0) {
        const double target = 100.0 / job.cpi;  // hundredths of an inch per character
        doc.logFont.height = -std::max(1, static_cast<int>(std::lround(target / 0.6)));
        doc.paginate();
        if (doc.charWidth > 0) {
            const double h = -doc.logFont.height * target / doc.charWidth;
            doc.logFont.height = -std::max(1, static_cast<int>(std::lround(h)));
        }
    }
    if (job.lpi > 0) {
        doc.paginate();
        const double cell = doc.lineHeight * 100.0 / std::max(1, doc.HeightString);
        if (cell > 0)
            doc.HeightString =
                std::max(1, static_cast<int>(std::lround(100.0 * (100.0 / job.lpi) / cell)));
    }
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
        // Keep an inch of line at least, whatever the job says.
        const double room = printer.paperSizeMm().width() - 2 * printer.hardwareMarginMm() - 25.4;
        const double extra = job.marginPt[1] / 72.0 * 25.4 - printer.hardwareMarginMm();
        printer.setExtraRightMarginMm(std::clamp(extra, 0.0, std::max(0.0, room)));
    }
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
    if (looksBinary(sample.data(), sample.size()))
        return fail("the document is not a text report (it holds binary data); nothing printed");

    const std::string dir = settingsDirectory();
    std::string settings = job.settingsName.empty() ? "FOLVK95.INI" : job.settingsName;
    if (!job.settingsName.empty() && !fileExists(dir + settings))
        return fail("settings file " + settings + " is not in " + dir);

    // Headless by design: the offscreen platform needs no display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(qtToLog);
    QGuiApplication app(argc, argv);

    QPageSize::PageSizeId paper = QPageSize::A4;
    if (!job.paper.empty()) paperFromName(QString::fromStdString(job.paper), &paper);
    PageLayoutPrinter printer(paper);
    FilterMessages messages;
    RecordContext context;
    context.messages = &messages;
    context.printer = &printer;
    context.programDir = dir;
    if (job.orientation >= 0) {
        printer.setLandscape(job.orientation == 1);
        context.orientationForced = true;
    }

    DocumentRecord doc(context, settings, std::string());
    if (job.encoding == JobEncoding::Dos) {
        doc.IsDos = 1;
    } else if (job.encoding == JobEncoding::Windows) {
        doc.IsDos = 0;
    } else if (const auto found = detectEncoding(sample.data(), sample.size())) {
        if (*found == TextEncoding::Cp866) doc.IsDos = 1;
        if (*found == TextEncoding::Cp1251) doc.IsDos = 0;
    }
    applyMargins(doc, printer, job);
    applyPitch(doc, job);
    if (!doc.loadText(input)) return fail("cannot read the document");
    if (!doc.paginate()) return fail("no device to lay the pages out on");
    // The encoding the text was read in, as the loader found it: "code page 866", "UTF-8".
    const std::string label = encodingLabel(doc.textEncoding, doc.utf16);
    const bool codePage = label.find_first_not_of("0123456789") == std::string::npos;
    std::fprintf(stderr, "INFO: %d pages, %s%s, %s\n", doc.pageCount, codePage ? "code page " : "",
                 label.c_str(), printer.landscape() ? "landscape" : "portrait");
    if (doc.unmappableChars > 0)
        std::fprintf(stderr,
                     "WARNING: %lld characters that code page 1251 lacks are printed as \"?\"\n",
                     static_cast<long long>(doc.unmappableChars));

    const int out = makeTempFile(1, "folvektopdf-out");
    if (out < 0)
        return fail(std::string("cannot create a temporary file: ") + std::strerror(errno));
    ::close(out);
    ExportOptions options;
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
    for (const std::string& w : read.warnings) std::fprintf(stderr, "WARNING: %s\n", w.c_str());
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
