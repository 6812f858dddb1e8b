// "Страницы задания принтера": the shown document goes over to the other layout, and the choice
// is remembered for it (layouts.cfg) as its settings file is in the history.
#include "job_layout_command.h"

#include <QMainWindow>
#include <QStatusBar>

#include "command_ids.h"
#include "document.h"
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

LoadOptions viewerLoadOptions(const std::string& settingsDir, const std::string& path) {
    LoadOptions options;
    options.jobReader = &viewerJobReader();
    options.layout = layout_memory::lookup(settingsDir, path);
    return options;
}

namespace {

void switchLayout(ReportView& view) {
    Document* model = view.document();
    if (!model || !model->hasPath()) return;
    const DocumentRecord* doc = &model->record();
    const LayoutMode mode = doc->jobLaidOut() ? LayoutMode::Report : LayoutMode::Job;
    layout_memory::remember(shellState().programDir, model->path(), mode);
    model->layoutModeChanged(mode);
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
        [&view] { return view.document() && view.document()->hasPath(); });
}

}  // namespace folvek
