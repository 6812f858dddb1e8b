// The print commands of the main window (printer set-up, print with the dialog, print on the
// current printer) and the batch printing of /m at start-up. Each works on a
// PrintContext, which the view fills in from itself; tests fill it in from their own parts.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace folvek {

class MessageSink;
class Printer;
class ReportView;
class DocumentRecord;
struct ShellState;

struct PrintContext {
    QWidget* window = nullptr;   // owner of the boxes and dialogs, disabled during a job
    Printer* printer = nullptr;  // none: the commands do nothing
    DocumentRecord* document = nullptr;
    std::string documentPath;     // the shown document's file; empty: none is shown
    ShellState* shell = nullptr;  // batch copies, printing flag
    MessageSink* messages = nullptr;
    // The printer may have changed under the layout: the document's entry point that lays it
    // out again, after which its listeners show the new pages.
    std::function<void()> relayout;
    std::function<void()> postExit;  // the Exit command, delivered after start-up
};

void printerSetup(PrintContext& ctx);
void printWithDialog(PrintContext& ctx);
// Throws PrintError (or what else the job raised) only in batch mode, at once when there is no
// default printer. Interactively, without a default printer, it says so and offers the dialog.
void printDirect(PrintContext& ctx);
// Prints the batch copies, each its own job without a dialog, then posts Exit; a failure is
// shown and the program stays open. Nothing happens when the batch count is 0.
void runBatchPrinting(PrintContext& ctx);

// The view's own context; `messages` must outlive it.
PrintContext printContextFor(ReportView& view, MessageSink& messages);

// Print with the dialog, print on the current printer, printer set-up.
void registerPrintCommands(ReportView& view);

}  // namespace folvek
