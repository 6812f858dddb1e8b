// "Страницы задания принтера": the shown document goes over to the other layout, and the choice
// is remembered for it (layouts.cfg) as its settings file is in the history.
#include "job_layout_command.h"

#include <QMainWindow>
#include <QStatusBar>
#include <utility>

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

// Why a job asked for its own pages shows the report's layout, in the window's language (the
// reader's reasons are English, as --info reports them).
QString shownReason(const std::string& reason) {
    static const std::pair<const char*, const char*> kTexts[] = {
        {"a UTF-16 text holds no printer job", "текст в UTF-16 не бывает заданием принтера"},
        {"no printer-language reader in this program", "программа не читает задания принтера"},
        {"the file could not be read as a job", "файл не удалось прочитать как задание"},
        {"the job prints no page", "задание не печатает ни одной страницы"},
    };
    for (const auto& [english, russian] : kTexts)
        if (reason == english) return QString::fromUtf8(russian);
    return QString::fromStdString(reason);
}

// The status bar's word on the layout now shown.
QString layoutText(const DocumentRecord& doc) {
    if (doc.jobLaidOut())
        return doc.jobVerdict.language.empty()
                   ? QStringLiteral("Страницы задания принтера")
                   : QStringLiteral("Страницы задания принтера (%1)")
                         .arg(QString::fromStdString(doc.jobVerdict.language));
    if (doc.layoutMode == LayoutMode::Job)
        return QStringLiteral("Разметка отчёта: %1").arg(shownReason(doc.jobVerdict.reason));
    return QStringLiteral("Разметка отчёта");
}

void switchLayout(ReportView& view) {
    Document* model = view.document();
    if (!model || !model->hasPath()) return;
    const DocumentRecord* doc = &model->record();
    const LayoutMode mode = doc->jobLaidOut() ? LayoutMode::Report : LayoutMode::Job;
    layout_memory::remember(shellState().programDir, model->path(), mode);
    model->layoutModeChanged(mode);
    if (auto* frame = qobject_cast<QMainWindow*>(view.window()))
        frame->statusBar()->showMessage(layoutText(*doc), 5000);
}

}  // namespace

void registerJobLayoutCommand(ReportView& view) {
    view.addCommand(
        CmJobLayout, [&view] { switchLayout(view); },
        [&view] { return view.document() && view.document()->hasPath(); });
}

}  // namespace folvek
