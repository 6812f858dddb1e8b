// folvek-print: lays a report out exactly as the viewer prints it and writes the pages to PDF,
// PNG or SVG, or prints the layout. Needs no display and no print system.
#include <malloc.h>
#include <signal.h>
#include <QGuiApplication>
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
#include "progress_bar.h"
#include "shell_state.h"

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

int run(int argc, char** argv, const PrintOptions& opt) {
    // Headless by design: the offscreen platform needs no display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(quietQtMessages);
    QGuiApplication app(argc, argv);

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
    // A missing picture or margins too large still give pages, but not the pages asked for.
    if (status == 0 && messages.errors > 0) status = kExitWithErrors;
    return status;
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
    if (opt.input.empty()) {
        std::fprintf(stderr, "folvek-print: no document given\n%s", printUsage());
        return kExitUsage;
    }
    if (opt.pdfFile.empty() && opt.pngDir.empty() && opt.svgDir.empty() && !opt.info) {
        std::fprintf(stderr, "folvek-print: nothing to do: give -o, --png, --svg or --info\n");
        return kExitUsage;
    }
    if (!readable(opt.input)) {
        std::fprintf(stderr, "folvek-print: cannot open %s: %s\n", opt.input.c_str(),
                     std::strerror(errno));
        return kExitFailed;
    }
    return run(argc, argv, opt);
}
