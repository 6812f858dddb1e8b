// "Страницы задания принтера": the shown document goes over to the other layout, and the choice
// is remembered for it (layouts.cfg) as its settings file is in the history.
#include "job_layout_command.h"

#include <QMainWindow>
#include <QStatusBar>

#include "command_ids.h"
#include "document_record.h"
#include "layout_memory.h"
#include "printed_job.h"
#include "report_view.h"
#include "shell_state.h"

namespace folvek {

JobReader& viewerJobReader() {
    static printer::PrinterJobReader reader;
    return reader;
}

void prepareJobLayout(DocumentRecord& doc, const std::string& settingsDir,
                      const std::string& path) {
    doc.jobReader = &viewerJobReader();
    doc.layoutMode = layout_memory::lookup(settingsDir, path);
}

namespace {

void switchLayout(ReportView& view) {
    DocumentRecord* doc = view.document();
    ShellState& shell = shellState();
    if (!doc || shell.documentPath.empty()) return;
    doc->layoutMode = doc->jobLaidOut() ? LayoutMode::Report : LayoutMode::Job;
    layout_memory::remember(shell.programDir, shell.documentPath, doc->layoutMode);
    view.reloadDocument();
    QString text = doc->jobLaidOut() ? QStringLiteral("Страницы задания принтера (%1)")
                                           .arg(QString::fromStdString(doc->jobVerdict.language))
                                     : QStringLiteral("Разметка отчёта");
    if (doc->layoutMode == LayoutMode::Job && !doc->jobLaidOut())
        text = QStringLiteral("Разметка отчёта: %1")
                   .arg(QString::fromStdString(doc->jobVerdict.reason));
    if (auto* frame = qobject_cast<QMainWindow*>(view.window()))
        frame->statusBar()->showMessage(text, 5000);
}

}  // namespace

void registerJobLayoutCommand(ReportView& view) {
    view.addCommand(
        CmJobLayout, [&view] { switchLayout(view); },
        [] { return !shellState().documentPath.empty(); });
}

}  // namespace folvek
