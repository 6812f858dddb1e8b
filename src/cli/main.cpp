// folvek-print: lays a report out exactly as the viewer prints it and writes the pages to PDF,
// PNG or SVG, prints the layout, or prints the pages through CUPS. Needs no display, and no
// print system but for printing.
#include <malloc.h>
#include <signal.h>
#include <unistd.h>
#include <QFile>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document_record.h"
#include "export.h"
#include "layout_info.h"
#include "messages.h"
#include "page_layout_printer.h"
#include "print_options.h"
#include "print_pipe.h"
#include "progress_bar.h"
#include "run_program.h"
#include "shell_state.h"
#include "tables_job.h"
#include "temp_cleanup.h"
#include "watch_folder.h"

namespace folvek {
namespace {

constexpr const char* kVersion = "2.12";

// Messages go to standard error; errors are remembered so that the job can fail.
class CliMessages : public StderrMessages {
  public:
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override {
        if (icon == MsgIcon::Error) ++errors;
        return StderrMessages::show(text, caption, icon, buttons);
    }
    int errors = 0;
};

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
    std::fprintf(stderr, "folvek-print: %s\n", text.c_str());
    return kExitFailed;
}

bool readable(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
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

// The pages as a spool file of our PDF writer, handed to CUPS with lp as the viewer does.
int printThroughLp(DocumentRecord& doc, PageLayoutPrinter& printer, const PrintOptions& opt,
                   bool stdinJob, const QTemporaryDir& spool, const ExportOptions& options) {
    const QString file = spool.filePath(QStringLiteral("job.spool"));
    const ExportResult r = runExport("lp", doc, printer, file, options, exportPdf);
    if (!r.ok) return fail("print: " + r.error.toStdString());
    // The job's name in the queue: the file's own name, as the file system holds it.
    std::string title = opt.title.empty() ? std::string("folvek-print") : opt.title;
    if (!stdinJob && opt.title.empty()) {
        const auto slash = opt.input.rfind('/');
        title = slash == std::string::npos ? opt.input : opt.input.substr(slash + 1);
    }
    const ProgramRun run = runProgram(
        lpPipeCommand(opt.printer, title, printer.pageLayout().pageSize().key().toStdString(),
                      printer.landscape(), QFile::encodeName(file).toStdString()),
        {}, 120000);
    if (!run.started) return fail("print: lp (the CUPS client) is not installed");
    if (run.exitCode != 0)
        return fail("print: lp refused the job" +
                    (opt.printer.empty() ? std::string() : " for queue " + opt.printer));
    return 0;
}

int run(int argc, char** argv, PrintOptions opt) {
    // Headless by design: the offscreen platform needs no display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(quietQtMessages);
    QGuiApplication app(argc, argv);

    // The job on standard input is kept whole in a file of its own, which the loader then reads
    // as any other document; the print spool file goes beside it.
    QTemporaryDir spool;
    const bool stdinJob = opt.input == "-";
    if ((stdinJob || opt.lp) && !spool.isValid())
        return fail("cannot make a temporary directory: " + spool.errorString().toStdString());
    // Killed, the job leaves neither its copy nor its spool file behind.
    const int spoolSlot =
        spool.isValid() ? temp_cleanup::add(QFile::encodeName(spool.path()).constData(), true) : -1;
    const auto dropSpool = qScopeGuard([spoolSlot] { temp_cleanup::drop(spoolSlot); });
    if (stdinJob) {
        const std::string job =
            QFile::encodeName(spool.filePath(QStringLiteral("job.prn"))).toStdString();
        std::uint64_t bytes = 0;
        std::string error;
        if (!copyToFile(STDIN_FILENO, job, &bytes, &error)) return fail(error);
        if (bytes == 0) {
            std::fputs("folvek-print: the job on standard input is empty: nothing printed\n",
                       stderr);
            return 0;
        }
        opt.input = job;
    }

    QPageSize::PageSizeId paper = QPageSize::A4;
    if (!paperFromName(QString::fromStdString(opt.paper), &paper))
        return fail("unknown paper \"" + opt.paper + "\" (A4, A3, A5, Letter, Legal)");

    PageLayoutPrinter printer(paper);
    printer.setHardwareMarginMm(opt.marginMm);
    CliMessages messages;
    RecordContext context;
    context.messages = &messages;
    context.printer = &printer;
    context.programDir = settingsDirectory();
    if (opt.orientation >= 0) {
        printer.setLandscape(opt.orientation == 1);
        context.orientationForced = true;
    }

    DocumentRecord doc(context, opt.iniFile, std::string());
    // The command line fixes the encoding the way /d and /w do in the viewer.
    if (opt.dos >= 0) {
        doc.setIsDos(opt.dos);
        doc.encodingOverride = opt.dos ? EncodingChoice::Cp866 : EncodingChoice::Cp1251;
    }
    if (!opt.encoding.empty()) doc.encodingOverride = encodingChoiceFromOption(opt.encoding);
    if (!doc.loadText(opt.input)) return fail("cannot load " + opt.input);
    if (!doc.paginate()) return fail("no device to lay the pages out on");

    if (opt.info) std::fputs(layoutInfoJson(doc, printer).c_str(), stdout);

    ExportOptions options;
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
        for (const QString& w : r.warnings)
            std::fprintf(stderr, "folvek-print: %s\n", w.toLocal8Bit().constData());
        if (!r.ok) status = fail(std::string(job.what) + ": " + r.error.toStdString());
    }
    if (!opt.tablesFile.empty() && exportTablesJob(doc, opt.tablesFile) != 0) status = kExitFailed;
    if (opt.lp && status == 0) status = printThroughLp(doc, printer, opt, stdinJob, spool, options);
    // A missing picture or margins too large still give pages, but not the pages asked for.
    if (status == 0 && messages.errors > 0) status = kExitWithErrors;
    return status;
}

// The layout options of the command line, handed on to each job of the watched folder.
std::vector<std::string> layoutArguments(const PrintOptions& opt) {
    std::vector<std::string> args{"--ini=" + opt.iniFile, "--paper=" + opt.paper,
                                  "--margin=" + std::to_string(opt.marginMm)};
    if (opt.dos >= 0) args.push_back(opt.dos ? "--dos" : "--windows");
    if (!opt.encoding.empty()) args.push_back("--encoding=" + opt.encoding);
    if (opt.orientation >= 0) args.push_back(opt.orientation ? "--landscape" : "--portrait");
    if (opt.firstPage != 1 || opt.lastPage != 0)
        args.push_back("--pages=" + std::to_string(opt.firstPage) + "-" +
                       (opt.lastPage ? std::to_string(opt.lastPage) : std::string()));
    if (opt.qtEngine) args.push_back("--engine=qt");
    return args;
}

int watch(const PrintOptions& opt) {
    WatchOptions w;
    w.dir = opt.watchDir;
    w.settleMs = opt.settleMs;
    w.maxWaitMs = static_cast<std::int64_t>(opt.maxWaitS) * 1000;
    w.printer = opt.printer;
    w.pdfDir = opt.pdfDir;
    w.deleteDone = opt.deleteDone;
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return fail("cannot find this program's own file: " + std::string(strerror(errno)));
    w.program.assign(self, static_cast<std::size_t>(n));
    w.jobArgs = layoutArguments(opt);
    return watchFolder(w);
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
    std::vector<std::string> args(argv + 1, argv + argc);
    PrintOptions opt;
    std::string error;
    if (!parsePrintOptions(args, &opt, &error)) {
        std::fprintf(stderr, "folvek-print: %s\n%s", error.c_str(), printUsage());
        return kExitUsage;
    }
    if (opt.help) {
        std::fputs(printUsage(), stdout);
        return 0;
    }
    if (opt.version) {
        std::printf("folvek-print %s\n", kVersion);
        return 0;
    }
    if (!opt.watchDir.empty()) return watch(opt);
    // A job stopped by Ctrl-C, the session's end or kill leaves no half-written file.
    temp_cleanup::installHandlers();
    if (opt.input.empty()) {
        std::fprintf(stderr, "folvek-print: no document given\n%s", printUsage());
        return kExitUsage;
    }
    if (opt.pdfFile.empty() && opt.pngDir.empty() && opt.svgDir.empty() && opt.tablesFile.empty() &&
        !opt.info && !opt.lp) {
        std::fprintf(stderr,
                     "folvek-print: nothing to do: give -o, --png, --svg, --tables, --info "
                     "or --lp\n");
        return kExitUsage;
    }
    if (opt.input != "-" && !readable(opt.input)) {
        std::fprintf(stderr, "folvek-print: cannot open %s: %s\n", opt.input.c_str(),
                     std::strerror(errno));
        return kExitFailed;
    }
    return run(argc, argv, opt);
}
