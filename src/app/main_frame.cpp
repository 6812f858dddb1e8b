// Building the frame, its menu, status bar and tool bar.
#include "main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>

#include "app_globals.h"
#include "application.h"
#include "command_ids.h"
#include "command_table.h"
#include "document_reload.h"
#include "find_bar.h"
#include "keypad_accelerators.h"
#include "main_tool_bar.h"
#include "message_boxes.h"
#include "path_field.h"
#include "recent_menu.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

MainFrame::MainFrame() {
    initResources();
    setObjectName(QStringLiteral("FolVkFrame"));
    setWindowTitle(QString::fromUtf8(kFrameTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/folvek.svg")));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAcceptDrops(true);

    view_ = new ReportView;
    setCentralWidget(view_);
    app().frame = this;
    appMessages().setOwner(this);

    findBar_ = new FindBar(view_, this);
    registerFindCommands(*view_, *findBar_);
    watch_ = new DocumentWatch(*view_, this);
    registerReloadCommand(*view_, *watch_);
    recent_ = new RecentMenu(*view_, this);
    registerRecentCommands(*view_, *recent_);
    buildMenu();
    buildStatusBar();

    toolBar_ = new MainToolBar(view_, this);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The find bar, when shown, sits under the tool bar across the window.
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, findBar_);

    QPointer<ReportView> view = view_;
    new KeypadAccelerators(this, [view](int id) {
        if (view) view->runCommand(id);
    });
}

MainFrame::~MainFrame() {
    // The view goes first: its destructor writes the history while the shell state is intact.
    delete view_;
    view_ = nullptr;
    if (app().frame == this) app().frame = nullptr;
}

void MainFrame::buildMenu() {
    for (const MenuSpec& m : menuBarSpec()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.text));
        connect(menu, &QMenu::aboutToShow, view_, &ReportView::updateCommandStates);
        for (const MenuEntry& e : m.entries) {
            if (e.id == 0) {
                menu->addSeparator();
            } else if (e.id == -1) {
                QMenu* sub = menu->addMenu(QString::fromUtf8(e.submenuText));
                connect(sub, &QMenu::aboutToShow, view_, &ReportView::updateCommandStates);
                for (int id : e.submenu) sub->addAction(view_->commandAction(id));
                if (e.submenu.front() == CmRecentFile) {
                    recent_->attach(sub);
                    connect(menu, &QMenu::aboutToShow, recent_, &RecentMenu::refresh);
                }
            } else {
                menu->addAction(view_->commandAction(e.id));
            }
        }
    }
    // The accelerators work wherever the focus is in the frame, menus open or not.
    for (const MenuSpec& m : menuBarSpec())
        for (const MenuEntry& e : m.entries) {
            if (e.id > 0) addAction(view_->commandAction(e.id));
            for (int id : e.submenu) addAction(view_->commandAction(id));
        }
}

void MainFrame::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    const int border = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const QFontMetrics fm(bar->font());
    auto field = [&](const char* name, int chars, const QString& text, QLabel* label) {
        label->setText(text);
        label->setObjectName(QString::fromLatin1(name));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        label->setFixedWidth(chars * fm.averageCharWidth() + border + 4);
        label->setContentsMargins(border, 0, border, 0);
        // Plain widgets, not permanent ones: a shown hint covers them.
        bar->addWidget(label);
        return label;
    };
    auto* path = new PathField(bar);
    fileName_ = field("id0", 30, QString(), path);
    page_ = field("id2", 25, QStringLiteral("WWWWWWW"), new QLabel(bar));
    // The encoding in use, and how many characters it could not show.
    encoding_ = field("id3", 24, QString(), new QLabel(bar));
    // What does not reach the paper, and the key that fits it.
    width_ = field("id4", 60, QString(), new QLabel(bar));
    status_ = new StatusFields(*view_, {this, path, page_, encoding_, width_}, this);
}

namespace {

// The first local file of a drop; directories and remote addresses are not documents.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile()) return info.canonicalFilePath();
    }
    return {};
}

bool canOpenNow() {
    return !shellState().printing;
}

}  // namespace

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (canOpenNow() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (canOpenNow() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainFrame::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty() || !canOpenNow()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    view_->openFile(file.toStdString());
    view_->updateCommandStates();
    view_->setFocus(Qt::OtherFocusReason);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!FolvekApplication::canClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

MainFrame* createMainWindow(bool show) {
    auto* frame = new MainFrame;
    frame->view()->setupWindow();
    frame->toolBar()->setupWindow();
    frame->documentWatch()->connectDocument();
    frame->recentMenu()->connectDocument();
    frame->statusFields()->connectDocument();
    if (show) {
        // Without a window manager a maximize request does nothing, so take the size too.
        if (QScreen* screen = frame->screen()) frame->setGeometry(screen->availableGeometry());
        frame->showMaximized();
    }
    frame->view()->setFocus(Qt::OtherFocusReason);
    return frame;
}

}  // namespace folvek
