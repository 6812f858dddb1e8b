// The start-up window.
#include "startup_window.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QPushButton>

#include "about_dialog.h"
#include "center_dialog.h"

namespace folvek {

namespace {

QPointer<QDialog>& startupWindow() {
    static QPointer<QDialog> window;
    return window;
}

class WaitWindow : public QDialog {
  public:
    WaitWindow() {
        setAttribute(Qt::WA_DeleteOnClose);
        buildDialog(this, aboutTemplate());
        if (auto* ok = qobject_cast<QPushButton*>(dialogItem(this, kAboutOk)))
            connect(ok, &QPushButton::clicked, this, [this] { deleteLater(); });
    }

  protected:
    bool event(QEvent* e) override { return dialWait(this, e) || QDialog::event(e); }
};

}  // namespace

bool dialWait(QDialog* window, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
            CenterDialog(window);
            if (QWidget* ok = dialogItem(window, kAboutOk)) ok->hide();
            startupWindow() = window;
            return false;  // the dialog still shows itself
        case QEvent::Close:
            window->deleteLater();
            return true;
        default:
            return false;
    }
}

QDialog* showStartupWindow() {
    auto* w = new WaitWindow;
    w->setModal(false);
    w->show();
    startupWindow() = w;
    // Let it appear before the long loading starts.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return w;
}

void destroyStartupWindow() {
    if (QDialog* w = startupWindow().data()) {
        startupWindow() = nullptr;
        w->hide();
        w->deleteLater();
    }
}

bool startupWindowExists() {
    return !startupWindow().isNull();
}

}  // namespace folvek
