// The view's construction, window setup, destruction, command table and right-button menu.
#include "ruler_win.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>

#include "app_globals.h"
#include "command_handlers.h"
#include "command_ids.h"
#include "command_table.h"
#include "history.h"
#include "message_boxes.h"
#include "pager.h"
#include "print_commands.h"
#include "printer_component.h"
#include "qt_device_context.h"
#include "shell_state.h"
#include "status_fields.h"
#include "string_table.h"

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

TRulerWin::TRulerWin() {
    setObjectName(QStringLiteral("KVLDFolvekWindows"));
    contextMenu_ = new QMenu(this);

    // The system's default printer (Qt's PDF printer when there is none).
    printer_ = std::make_unique<TPrinter>();
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

void TRulerWin::saveHistory() {
    bool failed = false;
    history::save(shellState(), &failed);
    if (!failed) return;
    QtMessages box(this);
    box.show(loadString(1018) + "\n" + history::historyPath(shellState()), "!!!", MsgIcon::Error);
}

TRulerWin::~TRulerWin() {
    saveHistory();
    app().thePager = nullptr;
    pager_.reset();
    app().printer = nullptr;
    printer_.reset();
    if (app().view == this) app().view = nullptr;
}

void TRulerWin::setupWindow() {
    ShellState& shell = shellState();
    if (printer_ && shell.orientation != -1) applyOrientation(printer_.get(), shell.orientation);

    PagerContext ctx;
    ctx.messages = &appMessages();
    ctx.printer = printer_.get();
    ctx.screenDevice = screenLayoutDevice;
    ctx.programDir = shell.programDir;
    ctx.orientationForced = shell.orientation != -1;
    pager_ = std::make_unique<pager>(std::move(ctx), shell.IniFileName, std::string());
    app().thePager = pager_.get();

    // /w and /d also fix the encoding of this first load; the next settings load forgets it.
    if (shell.dosOverride == DosOverride::Windows) {
        pager_->setIsDos(0);
        pager_->encodingOverride = EncodingChoice::Cp1251;
    }
    if (shell.dosOverride == DosOverride::Dos) {
        pager_->setIsDos(1);
        pager_->encodingOverride = EncodingChoice::Cp866;
    }

    if (!shell.documentPath.empty()) {
        pager_->loadText(shell.documentPath);
        pager_->paginate();
    }
    UpdateScrollRanges();
    ShowDocumentName();
    updateCommandStates();

    if (shell.batchCopies != 0) {
        QtMessages box(this);
        PrintContext print = printContextFor(*this, box);
        runBatchPrinting(print);
    }
}

void TRulerWin::buildCommandTable() {
    auto document = [] { return !shellState().documentPath.empty(); };
    auto notFirst = [this] { return pager_ && pager_->curPage > 1; };
    auto notLast = [this] { return pager_ && pager_->curPage < pager_->pageCount; };
    commands_ = {
        {CmOpen, {[this] { openDocument(); }, {}}},
        {CmSaveAs, {[this] { saveDocumentAs(); }, document}},
        {CmPrint, {[this] { printWithDialog(*this); }, {}}},
        {CmPrintCurrent, {[this] { printOnCurrentPrinter(*this); }, {}}},
        {CmPrinterSetup, {[this] { printerSetup(*this); }, {}}},
        {CmSend,
         {[this] { sendByMail(*this); }, [this, document] { return hasMailer_ && document(); }}},
        {CmExit, {[this] { exitProgram(); }, {}}},
        {CmFont, {[this] { chooseFont(*this); }, {}}},
        {CmParameters, {[this] { pageParameters(*this); }, {}}},
        {CmEdit, {[this] { editDocument(*this); }, document}},
        {CmFontLarger, {[this] { fontLarger(*this); }, {}}},
        {CmFontSmaller, {[this] { fontSmaller(*this); }, {}}},
        {CmPortrait, {[this] { setOrientation(0); }, {}}},
        {CmLandscape, {[this] { setOrientation(1); }, {}}},
        {CmLoadSettings, {[this] { loadSettingsFile(*this); }, {}}},
        {CmSaveSettings, {[this] { saveSettingsAs(*this); }, {}}},
        {CmPrevPage, {[this] { prevPage(); }, notFirst}},
        {CmNextPage, {[this] { nextPage(); }, notLast}},
        {CmFirstPage, {[this] { firstPage(); }, notFirst}},
        {CmLastPage, {[this] { lastPage(); }, notLast}},
        {CmZoomIn, {[this] { zoomIn(); }, [this] { return pager_ && pager_->Zoom < 11; }}},
        {CmZoomOut, {[this] { zoomOut(); }, [this] { return pager_ && pager_->Zoom > 1; }}},
        {CmHelp, {[this] { showHelp(); }, {}}},
        {CmWebSite, {[this] { openWebSite(); }, {}}},
        {CmMailAuthor, {[this] { mailAuthor(); }, {}}},
        {CmAbout, {[this] { showAbout(); }, {}}},
        {CmFrameworkExit,
         {[this] {
              if (window()) window()->close();
          },
          {}}},
    };
}

bool TRulerWin::isCommandEnabled(int id) const {
    auto it = commands_.constFind(id);
    if (it == commands_.constEnd()) return false;
    return !it->enabled || it->enabled();
}

void TRulerWin::runCommand(int id) {
    auto it = commands_.constFind(id);
    if (it == commands_.constEnd() || !isCommandEnabled(id)) return;
    auto handler = it->handler;  // the table may not be touched while the command runs
    handler();
    updateCommandStates();
}

QAction* TRulerWin::commandAction(int id) {
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

void TRulerWin::updateCommandStates() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
        it.value()->setEnabled(isCommandEnabled(it.key()));
    for (QAction* a : contextMenu_->actions())
        if (!a->isSeparator()) a->setEnabled(isCommandEnabled(a->data().toInt()));
}

void TRulerWin::fillContextMenu() {
    const struct {
        int text;
        int command;
    } items[] = {{1009, CmOpen},         {1010, CmEdit}, {1011, CmPrint},
                 {1012, CmPrinterSetup}, {0, 0},         {1013, CmFont},
                 {1014, CmParameters},   {0, 0},         {1015, CmFrameworkExit}};
    for (const auto& item : items) {
        if (item.command == 0) {
            contextMenu_->addSeparator();
            continue;
        }
        QAction* a = contextMenu_->addAction(QString::fromStdString(loadString(item.text)));
        a->setData(item.command);
        const int id = item.command;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    connect(contextMenu_, &QMenu::aboutToShow, this, &TRulerWin::updateCommandStates);
}

void TRulerWin::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse)
        return QAbstractScrollArea::contextMenuEvent(event);
    updateCommandStates();
    contextMenu_->popup(event->globalPos());
    event->accept();
}

}  // namespace folvek
