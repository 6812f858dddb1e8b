// folvek-print: lays a report out exactly as the viewer prints it and writes the pages to PDF,
// PNG or SVG, prints the layout, or prints the pages through CUPS. Needs no display, and no
// print system but for printing.
#include <malloc.h>
#include <signal.h>
#include <unistd.h>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli_text.h"
#include "cut_lines.h"
#include "document.h"
#include "document_record.h"
#include "document_title.h"
#include "export.h"
#include "layout_info.h"
#include "messages.h"
#include "page_layout_printer.h"
#include "print_options.h"
#include "print_pipe.h"
#include "printable_job.h"
#include "printed_job.h"
#include "progress_bar.h"
#include "run_program.h"
#include "shell_state.h"
#include "tables_job.h"
#include "temp_cleanup.h"
#include "temp_names.h"
#include "watch_folder.h"

namespace folvek {
namespace {

using cli::say;
using cli::tr;

constexpr const char* kVersion = "2.12";

QtMessageHandler qtDefaultHandler = nullptr;

// A headless tool has no session: Qt's note about the missing runtime directory is noise.
void quietQtMessages(QtMsgType type, const QMessageLogContext& where, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (qtDefaultHandler) qtDefaultHandler(type, where, text);
}

// Exit codes, as --help lists them.
constexpr int kExitFailed = 1;      // nothing (or not everything) was written
constexpr int kExitUsage = 2;       // bad command line
constexpr int kExitWithErrors = 3;  // written, but an error was reported on the way

int fail(const std::string& text) {
    say(text);
    return kExitFailed;
}

// One line and a pointer to --help, as the other command-line tools do.
int usageError(const std::string& text) {
    say(text);
    std::fprintf(stderr, "%s\n", tr("Try 'folvek-print --help' for more information.").c_str());
    return kExitUsage;
}

// The worst of two statuses: a failure over pages written with errors over success.
int worse(int a, int b) {
    if (a == kExitFailed || b == kExitFailed) return kExitFailed;
    return std::max(a, b);
}

// The folder of the job's own files (its copy of standard input, the spool file for lp), made
// only when the job needs one and removed with everything in it when the job ends or is killed.
class JobFolder {
  public:
    JobFolder() = default;
    JobFolder(const JobFolder&) = delete;
    JobFolder& operator=(const JobFolder&) = delete;
    ~JobFolder() {
        if (!dir_.path.empty()) removeOwnedTemp(dir_);
    }
    bool make(std::string* error) {
        const char* tmp = std::getenv("TMPDIR");
        const std::string parent = tmp && *tmp ? tmp : "/tmp";
        removeLeftoverTemps(parent);  // folders of jobs that were killed with -9
        if (createOwnedTempDir(parent, "folvek-print", dir_)) return true;
        *error = tr("cannot make a temporary folder in %1: %2", parent, std::strerror(errno));
        return false;
    }
    std::string file(const char* name) const { return dir_.path + "/" + name; }

  private:
    OwnedTemp dir_;
};

bool readable(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why the file at `path` must not be printed, or empty when it is a print job.
std::string notAPrintJob(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};  // the loader says why it cannot be read
    std::string sample(kJobSampleBytes, '\0');
    sample.resize(std::fread(sample.data(), 1, sample.size(), f));
    std::fclose(f);
    const PrintableVerdict v =
        judgePrintJob(reinterpret_cast<const unsigned char*>(sample.data()), sample.size());
    if (v.printable()) return {};
    return "the job is " + v.what + ", not a report or a printer job: nothing printed (--force " +
           "prints it anyway)";
}

ExportResult runExport(const char* what, DocumentRecord& doc, PageLayoutPrinter& printer,
                       const QString& target, ExportOptions options,
                       ExportResult (*job)(DocumentRecord&, const PageLayoutPrinter&,
                                           const QString&, const ExportOptions&)) {
    ProgressBar bar(what);
    options.progress = [&bar](int done, int total) {
        bar.update(done, total);
        return true;
    };
    return job(doc, printer, target, options);
}

// lp's command with the copies and the options the command line handed on.
std::vector<std::string> lpCommand(const PrintOptions& opt, const std::string& title,
                                   const PageLayoutPrinter& printer, const std::string& file) {
    std::vector<std::string> argv =
        lpPipeCommand(opt.printer, title, printer.pageLayout().pageSize().key().toStdString(),
                      printer.landscape(), file);
    std::vector<std::string> extra;
    if (opt.copies > 1) extra.insert(extra.end(), {"-n", std::to_string(opt.copies)});
    for (const std::string& o : opt.lpOptions) extra.insert(extra.end(), {"-o", o});
    // Before "--", which ends lp's options; after ours, so that the user's media or landscape
    // wins over the layout's.
    const auto end = std::find(argv.begin(), argv.end(), std::string("--"));
    argv.insert(end, extra.begin(), extra.end());
    return argv;
}

// The pages as a spool file of our PDF writer, handed to CUPS with lp as the viewer does.
int printThroughLp(DocumentRecord& doc, PageLayoutPrinter& printer, const PrintOptions& opt,
                   const std::string& title, const JobFolder& spool, const ExportOptions& options) {
    const QString file = QFile::decodeName(spool.file("job.spool").c_str());
    const ExportResult r = runExport("lp", doc, printer, file, options, exportPdf);
    if (!r.ok) return fail(tr("print: %1", r.error.toStdString()));
    const ProgramRun run = runProgram(
        lpCommand(opt, title, printer, QFile::encodeName(file).toStdString()), {}, 120000);
    if (!run.started) return fail(tr("print: lp (the CUPS client) is not installed"));
    if (run.exitCode != 0)
        return fail(opt.printer.empty()
                        ? tr("print: lp refused the job")
                        : tr("print: lp refused the job for queue %1", opt.printer));
    return 0;
}

// The pages this run writes of the document's: the range asked for, cut to the document.
int pagesDone(const DocumentRecord& doc, const PrintOptions& opt) {
    const int last = opt.lastPage == 0 ? doc.pageCount : std::min(opt.lastPage, doc.pageCount);
    return std::max(0, last - opt.firstPage + 1);
}

void sayDone(const std::string& name, const DocumentRecord& doc, const PrintOptions& opt) {
    if (opt.quiet) return;
    const int pages = pagesDone(doc, opt);
    if (!opt.lp)
        say(cli::trN("%1: %n page(s)", pages, name));
    else if (opt.copies > 1)
        say(cli::trN("%1: %n page(s) sent to the printer, %2 copies", pages, name,
                     std::to_string(opt.copies)));
    else
        say(cli::trN("%1: %n page(s) sent to the printer", pages, name));
}

// One document, from its file to every output the command line asks for.
int runDocument(const PrintOptions& opt, std::string input, const JobFolder& spool) {
    const bool stdinJob = input == "-";
    const std::string name = stdinJob ? tr("standard input") : input;
    if (stdinJob) {
        // The job on standard input is kept whole in a file of its own, which the loader then
        // reads as any other document.
        const std::string job = spool.file("job.prn");
        std::uint64_t bytes = 0;
        std::string error;
        if (!copyToFile(STDIN_FILENO, job, &bytes, &error)) return fail(error);
        if (bytes == 0) {
            say(tr("the job on standard input is empty: nothing printed"));
            return 0;
        }
        input = job;
    } else if (!readable(input)) {
        return fail(tr("cannot open %1: %2", input, std::strerror(errno)));
    }
    // Pictures, programs and archives are not print jobs: nothing of them reaches the printer.
    if (opt.lp && !opt.force) {
        const std::string refused = notAPrintJob(input);
        if (!refused.empty()) return fail(refused);
    }
    // What a job killed with -9 left beside the output (its maker gone, its lock free).
    if (!opt.pdfFile.empty()) removeLeftoverTemps(directoryOf(opt.pdfFile));

    QPageSize::PageSizeId paper = QPageSize::A4;
    paperFromName(QString::fromStdString(opt.paper), &paper);  // checked on the command line
    PageLayoutPrinter printer(paper);
    printer.setHardwareMarginMm(opt.marginMm);
    cli::CliMessages messages;
    RecordContext context;
    context.messages = &messages;
    context.printer = &printer;
    context.programDir = settingsDirectory();
    printer::PrinterJobReader jobReader;
    if (opt.orientation >= 0) {
        printer.setLandscape(opt.orientation == 1);
        context.orientationForced = true;
    }

    DocumentRecord doc(context, opt.iniFile, std::string());
    LoadOptions load;
    load.jobReader = &jobReader;
    if (LayoutMode mode; !opt.layout.empty() && layoutModeFromName(opt.layout, mode))
        load.layout = mode;
    // The command line fixes the encoding the way /d and /w do in the viewer.
    if (opt.dos >= 0) load.dos = opt.dos != 0;
    if (!opt.encoding.empty()) load.encoding = encodingChoiceFromOption(opt.encoding);
    if (opt.fit >= 0) load.fitWidth = opt.fit != 0;
    applyLoadOptions(doc, load);
    if (!doc.loadText(input)) return fail(tr("cannot load %1", name));
    if (!doc.paginate()) return fail(tr("no device to lay the pages out on"));
    // Lines cut at the sheet's edge matter to pages; a run that only saves the tables makes none.
    const bool pagesMade = !opt.pdfFile.empty() || !opt.pngDir.empty() || !opt.svgDir.empty() ||
                           opt.lp || opt.info || opt.tablesFile.empty();
    const std::string cut = pagesMade ? cutLinesWarning(doc, "--fit makes them fit") : "";
    if (!cut.empty()) say(name + ": " + cut);
    // What the job's interpreter met and clipped, once each.
    for (const std::string& w : doc.jobVerdict.warnings) say(name + ": " + w);
    if (doc.unmappableChars > 0)
        say(
            cli::trN("%1: warning: %n character(s) that code page 1251 lacks are printed as "
                     "\"?\" (see --help)",
                     doc.unmappableChars, name));

    if (opt.info) std::fputs(layoutInfoJson(doc, printer).c_str(), stdout);

    // The PDF's title and the job's name in the queue: the document's name, read in its
    // encoding when it is not UTF-8.
    const std::string title = titleFromName(!opt.title.empty() ? opt.title
                                            : stdinJob         ? std::string("folvek-print")
                                                               : baseName(input),
                                            doc.textEncoding);
    ExportOptions options;
    options.title = QString::fromStdString(title);
    options.firstPage = opt.firstPage;
    options.lastPage = opt.lastPage;
    options.dpi = opt.dpi;
    options.pdfEngine = opt.qtEngine ? PdfEngine::Qt : PdfEngine::Direct;
    struct Job {
        const std::string& target;
        const char* what;
        ExportResult (*fn)(DocumentRecord&, const PageLayoutPrinter&, const QString&,
                           const ExportOptions&);
    } jobs[] = {{opt.pdfFile, "PDF", exportPdf},
                {opt.pngDir, "PNG", exportPng},
                {opt.svgDir, "SVG", exportSvg}};
    int status = 0;
    for (const Job& job : jobs) {
        if (job.target.empty()) continue;
        const ExportResult r = runExport(
            job.what, doc, printer, QString::fromLocal8Bit(job.target.c_str()), options, job.fn);
        for (const QString& w : r.warnings) say(w.toStdString());
        if (!r.ok) status = fail(std::string(job.what) + ": " + r.error.toStdString());
    }
    if (!opt.tablesFile.empty() && exportTablesJob(doc, opt.tablesFile) != 0) status = kExitFailed;
    if (opt.lp && status == 0) status = printThroughLp(doc, printer, opt, title, spool, options);
    if (status == 0) sayDone(name, doc, opt);
    // A missing picture or margins too large still give pages, but not the pages asked for.
    if (status == 0 && messages.errors > 0) status = kExitWithErrors;
    return status;
}

int run(const PrintOptions& opt) {
    // The job on standard input and the print spool file live here, made only when needed;
    // killed, the job leaves neither its copy nor its spool file behind.
    JobFolder spool;
    const bool needsSpool =
        opt.lp || std::find(opt.inputs.begin(), opt.inputs.end(), "-") != opt.inputs.end();
    std::string spoolError;
    if (needsSpool && !spool.make(&spoolError)) return fail(spoolError);
    int status = 0;
    for (const std::string& input : opt.inputs)
        status = worse(status, runDocument(opt, input, spool));
    return status;
}

int watch(const PrintOptions& opt) {
    WatchOptions w;
    w.dir = opt.watchDir;
    w.settleMs = opt.settleMs;
    w.maxWaitMs = static_cast<std::int64_t>(opt.maxWaitS) * 1000;
    w.printer = opt.printer;
    w.pdfDir = opt.pdfDir;
    w.deleteDone = opt.deleteDone;
    w.force = opt.force;
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return fail(tr("cannot find this program's own file: %1", strerror(errno)));
    w.program.assign(self, static_cast<std::size_t>(n));
    w.jobArgs = layoutArguments(opt);
    return watchFolder(w);
}

// Settings named on the command line must be there: a typing error would otherwise lay the
// report out with every default.
int checkSettingsFile(const PrintOptions& opt) {
    if (!opt.iniGiven) return 0;
    const std::string path = opt.iniFile.find('/') == std::string::npos
                                 ? settingsDirectory() + opt.iniFile
                                 : opt.iniFile;
    if (readable(path)) return 0;
    return fail(tr("settings file %1: %2", path, std::strerror(errno)));
}

}  // namespace
}  // namespace folvek

int main(int argc, char** argv) {
    using namespace folvek;
    // The PDF writer grows and frees a page-sized buffer for every page; keeping such blocks in
    // the heap instead of mapping and unmapping them saves a page fault per 4 KB written.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    // A file-size limit then fails the write with a message instead of killing the tool.
    signal(SIGXFSZ, SIG_IGN);
    // Read before Qt sees them: it would take -title or -display for its own.
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Headless by design: the offscreen platform needs no display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(quietQtMessages);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    cli::installTranslations();

    PrintOptions opt;
    std::string error;
    if (!parsePrintOptions(args, &opt, &error)) return usageError(error);
    if (opt.help) {
        std::fputs(printUsage(), stdout);
        return 0;
    }
    if (opt.version) {
        std::printf("folvek-print %s\n", kVersion);
        return 0;
    }
    if (const int bad = checkSettingsFile(opt)) return bad;
    if (!opt.watchDir.empty()) return watch(opt);
    // A job stopped by Ctrl-C, the session's end or kill leaves no half-written file.
    temp_cleanup::installHandlers();
    if (opt.inputs.empty()) return usageError(tr("no document given"));
    if (opt.pdfFile.empty() && opt.pngDir.empty() && opt.svgDir.empty() && opt.tablesFile.empty() &&
        !opt.info && !opt.lp)
        return usageError(tr("nothing to do: give -o, --png, --svg, --tables, --info or --lp"));
    return run(opt);
}
