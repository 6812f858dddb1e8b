// The print commands and the batch printing.
#include "print_commands.h"

#include <cstdio>

#include <QTimer>
#include <exception>

#include "app_globals.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "message_boxes.h"
#include "messages.h"
#include "print_job.h"
#include "printable_job.h"
#include "printer_component.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"
#include "window_printout.h"

namespace folvek {

namespace {

constexpr const char* kPrintError = "Print error!";
constexpr const char* kNoDefaultPrinter =
    "В системе нет принтера по умолчанию.\nВыбрать принтер или файл PDF в окне печати?";

void relayout(PrintContext& ctx) {
    if (ctx.relayout) ctx.relayout();
}

WindowPrintout makePrintout(PrintContext& ctx) {
    return WindowPrintout(ctx.documentPath, ctx.window, ctx.document);
}

}  // namespace

void printerSetup(PrintContext& ctx) {
    if (!ctx.printer) return;
    ctx.printer->setup(ctx.window);
    // Confirmed or not, the printer may have changed under the layout.
    relayout(ctx);
}

void printWithDialog(PrintContext& ctx) {
    if (!ctx.printer) return;
    WindowPrintout printout = makePrintout(ctx);
    ctx.shell->printing = true;
    try {
        ctx.printer->print(ctx.window, printout, true);
    } catch (const std::exception&) {
        ctx.messages->show(kPrintError, "WARNING", MsgIcon::Error);
        ctx.shell->printing = false;
    }
    ctx.shell->printing = false;
    // The job printed with the layout of the printer chosen before; lay out for the new one.
    relayout(ctx);
}

void printDirect(PrintContext& ctx) {
    if (!ctx.printer) return;
    // Without a default printer the current printer writes PDF files, and a file name is a
    // question for a person: unattended printing fails, interactive printing offers the dialog.
    const bool noPrinter = !ctx.printer->hasDefaultPrinter();
    if (noPrinter && ctx.shell->batchCopies != 0) throw PrintError("no default printer");
    if (noPrinter) {
        ctx.shell->printing = true;
        if (ctx.messages->show(kNoDefaultPrinter, "???", MsgIcon::Question, MsgButtons::YesNo) ==
            MsgAnswer::Yes)
            printWithDialog(ctx);
        ctx.shell->printing = false;
        return;
    }
    WindowPrintout printout = makePrintout(ctx);
    ctx.shell->printing = true;
    if (ctx.shell->batchCopies != 0) {
        try {
            ctx.printer->print(ctx.window, printout, false);
        } catch (...) {
            ctx.shell->printing = false;
            throw;
        }
    } else {
        try {
            ctx.printer->print(ctx.window, printout, false);
        } catch (const std::exception&) {
            ctx.messages->show(kPrintError, "WARNING", MsgIcon::Error);
            ctx.shell->printing = false;
            // Perhaps another printer will do: let the user choose one.
            printWithDialog(ctx);
        }
    }
    ctx.shell->printing = false;
    // No new layout: the preview shows the last page printed at its next repaint.
}

// Batch printing runs unattended: a picture, a program or an archive given by mistake is not
// printed page after page of noise; the user is told and the program stays open.
bool batchJobIsPrintable(PrintContext& ctx) {
    const std::string& path = ctx.documentPath;
    std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!f) return true;  // loading has said what is wrong with it
    std::string sample(kJobSampleBytes, '\0');
    sample.resize(std::fread(sample.data(), 1, sample.size(), f));
    std::fclose(f);
    const PrintableVerdict v =
        judgePrintJob(reinterpret_cast<const unsigned char*>(sample.data()), sample.size());
    if (v.printable()) return true;
    ctx.messages->show(
        "Файл не печатается: это не отчёт и не задание для принтера (" + v.what + ").\n" + path,
        "!!!", MsgIcon::Error);
    return false;
}

void runBatchPrinting(PrintContext& ctx) {
    ShellState& shell = *ctx.shell;
    if (shell.batchCopies == 0) return;
    if (!batchJobIsPrintable(ctx)) {
        shell.batchCopies = 0;
        return;  // the program stays open for the user
    }
    try {
        // "Отмена" in the job's window stops the whole run, not only the copy being printed.
        for (int i = 0; i < shell.batchCopies; ++i) {
            printDirect(ctx);
            if (ctx.printer && ctx.printer->lastJob().cancelled) break;
        }
    } catch (const std::exception&) {
        ctx.messages->show(kPrintError, "error", MsgIcon::None, MsgButtons::Ok);
        shell.printing = false;
        shell.batchCopies = 0;
        return;  // the program stays open for the user
    }
    if (ctx.postExit) ctx.postExit();
}

PrintContext printContextFor(ReportView& view, MessageSink& messages) {
    PrintContext ctx;
    ctx.window = &view;
    ctx.printer = dynamic_cast<Printer*>(view.printer());
    ctx.document = view.record();
    if (const Document* doc = view.document()) ctx.documentPath = doc->path();
    ctx.shell = &shellState();
    ctx.messages = &messages;
    ctx.relayout = [&view] {
        if (Document* doc = view.document()) doc->paperChanged();
    };
    ctx.postExit = [&view] { QTimer::singleShot(0, &view, [&view] { view.runCommand(CmExit); }); };
    return ctx;
}

void registerPrintCommands(ReportView& view) {
    // Each command's boxes belong to the view and live as long as the command runs.
    auto over = [&view](void (*command)(PrintContext&)) {
        return [&view, command] {
            QtMessages box(&view);
            PrintContext ctx = printContextFor(view, box);
            command(ctx);
        };
    };
    view.addCommand(CmPrint, over(printWithDialog));
    view.addCommand(CmPrintCurrent, over(printDirect));
    view.addCommand(CmPrinterSetup, over(printerSetup));
}

}  // namespace folvek
