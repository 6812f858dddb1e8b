// "Сохранить в PDF...": the whole document or a range of its pages, laid out as the window
// shows it, written by the same PDF writer as folvek-print, with a progress dialog that stops
// the job.
#pragma once

#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace folvek {

class ReportView;

struct PdfPages {
    int from = 1;
    int to = 1;
};

// The pages to write: all of them or a range, asked through the dialog hooks (a one-page
// document is not asked, unless there is a `note` to show: the lines the pages cut). Empty
// after a cancel. The range is kept inside 1..pageCount and ordered.
std::optional<PdfPages> askPdfPages(QWidget* owner, int pageCount, int currentPage,
                                    const QString& note = QString());

// The document's own name with ".pdf" in place of its extension, next to it.
QString proposedPdfPath(const std::string& documentPath);

// The whole command: pages, file name, then the job with its progress dialog.
void exportToPdf(ReportView& view);

void registerPdfExportCommand(ReportView& view);

}  // namespace folvek
