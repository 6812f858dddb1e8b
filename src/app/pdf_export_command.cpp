// Asking for the pages and the file, and running the PDF job with a progress dialog.
#include "pdf_export_command.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "command_ids.h"
#include "cut_lines.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "export.h"
#include "help_viewer.h"
#include "message_boxes.h"
#include "page_layout_printer.h"
#include "print_dialog.h"
#include "printer_component.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

namespace {

constexpr const char* kTitle = "Сохранить в PDF";

void report(QWidget* owner, const QString& text) {
    if (MessageSink* sink = dialogHooks().messages) {
        sink->show(text.toStdString(), kTitle, MsgIcon::Error);
        return;
    }
    QtMessages box(owner);
    box.show(text.toStdString(), kTitle, MsgIcon::Error);
}

void say(QWidget* window, const QString& text) {
    if (window) ShowStatusMessage(window, text);
}

// The sheet the window's pages were laid out for: the printer's paper and margins.
QPageLayout sheetOf(ReportView& view) {
    if (auto* printer = dynamic_cast<Printer*>(view.printer()))
        return printer->printer().pageLayout();
    PageLayoutPrinter fallback;
    if (view.printer()) fallback.setLandscape(view.printer()->landscape());
    return fallback.pageLayout();
}

// Whatever ends the job, the window comes back and the program may close again.
class JobGuard {
  public:
    explicit JobGuard(QWidget* window) : window_(window), wasPrinting_(shellState().printing) {
        shellState().printing = true;
        if (window_) window_->setEnabled(false);
    }
    ~JobGuard() {
        shellState().printing = wasPrinting_;
        if (window_) window_->setEnabled(true);
    }
    JobGuard(const JobGuard&) = delete;
    JobGuard& operator=(const JobGuard&) = delete;

  private:
    QPointer<QWidget> window_;
    bool wasPrinting_;
};

}  // namespace

std::optional<PdfPages> askPdfPages(QWidget* owner, int pageCount, int currentPage,
                                    const QString& note) {
    const int pages = std::max(1, pageCount);
    if (pages == 1 && note.isEmpty()) return PdfPages{1, 1};
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("PdfPagesDialog"));
    dialog.setWindowTitle(QString::fromUtf8(kTitle));
    auto* all = new QRadioButton(QStringLiteral("Все страницы (%1)").arg(pages), &dialog);
    all->setObjectName(QStringLiteral("AllPages"));
    auto* range = new QRadioButton(QStringLiteral("Страницы:"), &dialog);
    range->setObjectName(QStringLiteral("PageRange"));
    auto* from = new QSpinBox(&dialog);
    from->setObjectName(QStringLiteral("FromPage"));
    auto* to = new QSpinBox(&dialog);
    to->setObjectName(QStringLiteral("ToPage"));
    for (QSpinBox* box : {from, to}) box->setRange(1, pages);
    from->setValue(std::clamp(currentPage, 1, pages));
    to->setValue(pages);
    all->setChecked(true);
    // Typing a page number means a range.
    for (QSpinBox* box : {from, to})
        QObject::connect(box, &QSpinBox::valueChanged, range, [range] { range->setChecked(true); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    if (!note.isEmpty()) layout->addWidget(widthNoteLabel(note, &dialog));
    layout->addWidget(all);
    if (pages > 1) {
        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("с"), from);
        form->addRow(QStringLiteral("по"), to);
        layout->addWidget(range);
        layout->addLayout(form);
    } else {
        // One page: the dialog is there for the note alone.
        for (QWidget* w :
             {static_cast<QWidget*>(range), static_cast<QWidget*>(from), static_cast<QWidget*>(to)})
            w->hide();
    }
    layout->addWidget(buttons);
    addHelpKey(dialog, HelpSavePdf);

    if (dialogHooks().runModal(dialog) != QDialog::Accepted) return std::nullopt;
    if (all->isChecked()) return PdfPages{1, pages};
    const int a = std::clamp(from->value(), 1, pages);
    const int b = std::clamp(to->value(), 1, pages);
    return PdfPages{std::min(a, b), std::max(a, b)};
}

QString proposedPdfPath(const std::string& documentPath) {
    const QFileInfo info(QString::fromStdString(documentPath));
    const QString base =
        info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral(".pdf"));
}

void exportToPdf(ReportView& view) {
    DocumentRecord* doc = view.record();
    if (!doc || !view.document()->hasPath() || shellState().printing) return;
    const std::string documentPath = view.document()->path();
    QWidget* window = view.window();
    const std::optional<PdfPages> pages = askPdfPages(
        &view, doc->pageCount, doc->curPage, QString::fromStdString(cutLinesDialogNote(*doc)));
    if (!pages) return;

    FileDialogRequest request;
    request.owner = &view;
    request.startPath = proposedPdfPath(documentPath);
    request.filters =
        QStringList{QStringLiteral("Файлы PDF (*.pdf)"), QStringLiteral("Все файлы (*)")};
    request.defaultSuffix = QStringLiteral("pdf");
    QString target = askFileName(FileDialogKind::Save, request);
    if (target.isEmpty()) return;
    if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".pdf");
    // Writing over the report itself would lose it.
    if (QFileInfo(target).canonicalFilePath() ==
        QFileInfo(QString::fromStdString(documentPath)).canonicalFilePath()) {
        report(window, QStringLiteral("Нельзя записать PDF поверх самого отчёта:\n") + target);
        return;
    }

    const int total = pages->to - pages->from + 1;
    ExportResult result;
    {
        JobGuard guard(window);
        // No Qt parent: the window is disabled during the job and would take the dialog with it.
        QProgressDialog progress(
            QStringLiteral("Запись страниц в %1").arg(QFileInfo(target).fileName()),
            QStringLiteral("Отмена"), 0, total);
        progress.setObjectName(QStringLiteral("PdfExportProgress"));
        progress.setWindowTitle(QString::fromUtf8(kTitle));
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(400);  // a short job finishes before the dialog would show
        if (window) {
            progress.winId();
            if (QWindow* owner = window->windowHandle())
                progress.windowHandle()->setTransientParent(owner);
        }
        progress.setValue(0);
        ExportOptions options;
        options.firstPage = pages->from;
        options.lastPage = pages->to;
        options.progress = [&progress](int done, int) {
            progress.setValue(done);
            // The window breathes between pages; "Отмена" is seen here.
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return !progress.wasCanceled();
        };
        result = exportPdf(*doc, sheetOf(view), target, options);
    }
    if (result.ok) {
        QString text = QStringLiteral("Сохранено в PDF: %1 стр., %2").arg(result.pages).arg(target);
        if (!result.warnings.isEmpty())
            text += QStringLiteral(" (") + result.warnings.join(QStringLiteral("; ")) +
                    QLatin1Char(')');
        say(window, text);
    } else if (result.error == QLatin1String("stopped")) {
        say(window, QStringLiteral("Сохранение в PDF прервано"));
    } else {
        report(window, QStringLiteral("Не удалось сохранить PDF ") + target +
                           QStringLiteral(":\n") + result.error);
    }
}

void registerPdfExportCommand(ReportView& view) {
    view.addCommand(
        CmExportPdf, [&view] { exportToPdf(view); },
        [&view] { return view.record() && view.document()->hasPath() && !shellState().printing; });
}

}  // namespace folvek
