// The view's construction, window setup, destruction, command table and right-button menu.
#include "report_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>

#include "app_globals.h"
#include "command_ids.h"
#include "command_table.h"
#include "desktop_recent.h"
#include "document.h"
#include "document_record.h"
#include "document_signals.h"
#include "font_commands.h"
#include "go_to_page.h"
#include "history.h"
#include "job_layout_command.h"
#include "loading_commands.h"
#include "main_tool_bar.h"
#include "message_boxes.h"
#include "page_copy.h"
#include "param_command.h"
#include "pdf_export_command.h"
#include "print_commands.h"
#include "printer_component.h"
#include "qt_device_context.h"
#include "recent_files.h"
#include "settings_files.h"
#include "shell_state.h"
#include "status_fields.h"
#include "string_table.h"
#include "table_commands.h"
#include "view_document_commands.h"

namespace folvek {

namespace {

// The screen stands in for the printer when the printer gives no device.
std::unique_ptr<LayoutDevice> screenLayoutDevice() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return nullptr;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    QSizeF mm = screen->physicalSize();
    if (mm.width() <= 0 || mm.height() <= 0)
        mm = QSizeF(screen->size().width() * 25.4 / dpiX, screen->size().height() * 25.4 / dpiY);
    return std::make_unique<QtDeviceContext>(nullptr, dpiX, dpiY, mm);
}

}  // namespace

ReportView::ReportView() {
    setObjectName(QStringLiteral("KVLDFolvekWindows"));
    contextMenu_ = new QMenu(this);

    // The system's default printer (Qt's PDF printer when there is none).
    printer_ = std::make_unique<Printer>();
    app().printer = printer_.get();

    // Mail goes through xdg-email; without it the view has no mailer.
    hasMailer_ = !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty();

    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(pal);
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);

    buildCommandTable();
    fillContextMenu();
    app().view = this;
}

void ReportView::saveHistory() {
    // A document that never opened (missing, a folder, a device) is not worth remembering.
    if (!record_ || !record_->opened) return;
    ShellState& shell = shellState();
    bool failed = false;
    history::save(history::historyPath(shell), model_->path(), shell.IniFileName, &failed);
    // The recent list keeps the settings the document is left with; it is only a convenience,
    // so a list that cannot be written is not worth a box.
    recent::remember(recent::listPath(shell), model_->path(), shell.IniFileName);
    if (!failed) return;
    if (shell.batchCopies != 0) {
        // Nobody is there to answer a box: the run would never end.
        std::fprintf(stderr, "folvek: %s %s\n", loadString(StrCannotOpenOutput).c_str(),
                     history::historyPath(shell).c_str());
        shell.exitStatus = 1;
        return;
    }
    QtMessages box(this);
    box.show(loadString(StrCannotOpenOutput) + "\n" + history::historyPath(shellState()), "!!!",
             MsgIcon::Error);
}

void ReportView::documentOpened(const std::string& path) {
    // The desktop's recent list too, so that the file manager and other programs' open
    // dialogs offer the report again; only a convenience, so a failure says nothing.
    addToDesktopRecent(path);
}

ReportView::~ReportView() {
    saveHistory();
    delete signals_;
    signals_ = nullptr;
    record_ = nullptr;
    model_.reset();
    app().printer = nullptr;
    printer_.reset();
    if (app().view == this) app().view = nullptr;
}

void ReportView::setupWindow() {
    ShellState& shell = shellState();
    if (printer_ && shell.orientation != -1) applyOrientation(printer_.get(), shell.orientation);

    RecordContext ctx;
    ctx.messages = &appMessages();
    ctx.printer = printer_.get();
    ctx.screenDevice = screenLayoutDevice;
    ctx.programDir = shell.programDir;
    ctx.orientationForced = shell.orientation != -1;
    // The zoom keys and the font commands write the settings at every press: a file that cannot
    // be written is said once, in the status bar, not in a box at every key.
    ctx.settingsNotSaved = [this](const std::string& path, const std::string& why) {
        if (!unsavedSettingsSaid_.insert(path).second) return;
        auto* frame = qobject_cast<QMainWindow*>(window());
        if (!frame) return;
        QString text = QStringLiteral("Настройки не сохранены: ") + QString::fromStdString(path);
        if (!why.empty()) text += QStringLiteral(" (") + QString::fromStdString(why) + ')';
        frame->statusBar()->showMessage(text);
    };
    model_ = std::make_unique<Document>(std::move(ctx), shell.IniFileName);
    record_ = &model_->record();
    signals_ = new DocumentSignals(*model_, this);
    connect(signals_, &DocumentSignals::changed, this, &ReportView::documentChanged);

    // The view shows the document as it is before any load: the layout of its settings.
    documentChanged(kLayoutChanged | kZoomChanged);

    // /w and /d also fix the encoding of this first load; the next settings load forgets it.
    LoadOptions options = viewerLoadOptions(shell.programDir, shell.documentPath);
    if (shell.dosOverride != DosOverride::None) options.dos = shell.dosOverride == DosOverride::Dos;
    model_->setLoadOptions(options);
    // The first pages at once, at start and at every later open or reload; the rest follows
    // while the window is shown. A batch run prints the whole at once.
    model_->setProgressive(shell.batchCopies == 0);
    const std::string& path = shell.documentPath;
    if (!path.empty() && model_->load(path)) documentOpened(path);
    updateCommandStates();

    if (shell.batchCopies != 0) {
        QtMessages box(this);
        PrintContext print = printContextFor(*this, box);
        runBatchPrinting(print);
    }
}

void ReportView::addCommand(int id, std::function<void()> handler, std::function<bool()> enabled) {
    commands_.insert(id, CommandEntry{std::move(handler), std::move(enabled)});
}

void ReportView::buildCommandTable() {
    commands_.clear();
    registerFileCommands(*this);
    registerJobLayoutCommand(*this);
    registerPrintCommands(*this);
    registerViewCommands(*this);
    registerGoToPageCommand(*this);
    registerPdfExportCommand(*this);
    registerPageCopyCommand(*this);
    registerTableCommands(*this);
    registerFontCommands(*this);
    registerParametersCommand(*this);
    registerSettingsFileCommands(*this);
    registerDocumentCommands(*this);
    registerAboutCommands(*this);
    addCommand(CmFrameworkExit, [this] {
        if (window()) window()->close();
    });
}

bool ReportView::isCommandEnabled(int id) const {
    auto it = commands_.constFind(id);
    if (it == commands_.constEnd()) return false;
    if (model_ && model_->loading() && commandWaitsForWholeText(id, *record_)) return false;
    return !it->enabled || it->enabled();
}

void ReportView::runCommand(int id) {
    auto it = commands_.constFind(id);
    if (it == commands_.constEnd() || !isCommandEnabled(id)) return;
    auto handler = it->handler;  // the table may not be touched while the command runs
    // What the last command said is over: its message gives way to the fields, or to this
    // command's own message.
    ClearStatusMessage(this);
    handler();
    updateCommandStates();
}

QAction* ReportView::commandAction(int id) {
    if (QAction* a = actions_.value(id)) return a;
    auto* a = new QAction(this);
    a->setData(id);
    if (const CommandInfo* info = findCommand(id)) a->setText(QString::fromUtf8(info->menuText));
    a->setShortcuts(acceleratorsFor(id));
    a->setShortcutContext(Qt::WindowShortcut);
    // A command without a hint still replaces the fields with an empty hint bar.
    QString hint = commandHint(id);
    a->setStatusTip(hint.isEmpty() ? QStringLiteral(" ") : hint);
    a->setToolTip(hint.isEmpty() ? a->text().section(QLatin1Char('\t'), 0, 0) : hint);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_.insert(id, a);
    a->setEnabled(isCommandEnabled(id));
    return a;
}

void ReportView::updateCommandStates() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
        it.value()->setEnabled(isCommandEnabled(it.key()));
    for (QAction* a : contextMenu_->actions())
        if (!a->isSeparator()) a->setEnabled(isCommandEnabled(a->data().toInt()));
}

void ReportView::fillContextMenu() {
    constexpr int kSeparator = 0;  // neither a text nor a command
    const struct {
        int text;
        int command;
    } items[] = {{StrMenuOpen, CmOpen},
                 {StrMenuEdit, CmEdit},
                 {StrMenuPrint, CmPrint},
                 {StrMenuPrinterSetup, CmPrinterSetup},
                 {kSeparator, kSeparator},
                 {StrMenuFont, CmFont},
                 {StrMenuParameters, CmParameters},
                 {kSeparator, kSeparator},
                 {StrMenuCopyTable, CmCopyTable},
                 {kSeparator, kSeparator},
                 {StrMenuExit, CmFrameworkExit}};
    for (const auto& item : items) {
        if (item.command == kSeparator) {
            contextMenu_->addSeparator();
            continue;
        }
        QAction* a = contextMenu_->addAction(QString::fromStdString(loadString(item.text)));
        a->setData(item.command);
        const int id = item.command;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    connect(contextMenu_, &QMenu::aboutToShow, this, &ReportView::updateCommandStates);
}

void ReportView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse)
        return QAbstractScrollArea::contextMenuEvent(event);
    contextCell_ = cellAtViewport(QPointF(event->pos()));
    updateCommandStates();
    contextMenu_->popup(event->globalPos());
    event->accept();
}

}  // namespace folvek
