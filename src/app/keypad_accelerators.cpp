// Keypad accelerators ahead of Qt's shortcut map.
#include "keypad_accelerators.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "command_ids.h"

namespace folvek {

namespace {

// X11 key symbols of the keypad's add and subtract keys; the keypad flag is also set for them,
// but the symbol is what the X server itself says about the key.
constexpr quint32 kXKeyPadAdd = 0xffab;
constexpr quint32 kXKeyPadSubtract = 0xffad;

bool fromKeypad(const QKeyEvent& e) {
    if (e.modifiers() & Qt::KeypadModifier) return true;
    const quint32 sym = e.nativeVirtualKey();
    return sym == kXKeyPadAdd || sym == kXKeyPadSubtract;
}

}  // namespace

KeypadAccelerators::KeypadAccelerators(QWidget* frame, std::function<void(int)> run)
    : QObject(frame), frame_(frame), run_(std::move(run)) {
    qApp->installEventFilter(this);
}

KeypadAccelerators::~KeypadAccelerators() {
    if (qApp) qApp->removeEventFilter(this);
}

int KeypadAccelerators::commandFor(const QKeyEvent& e) {
    if (e.key() != Qt::Key_Plus && e.key() != Qt::Key_Minus) return 0;
    if (!fromKeypad(e)) return 0;
    // The accelerators name the key alone and Ctrl with it; Shift or Alt make another key.
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    const bool plus = e.key() == Qt::Key_Plus;
    if (mods == Qt::NoModifier) return plus ? CmZoomIn : CmZoomOut;
    if (mods == Qt::ControlModifier) return plus ? CmFontLarger : CmFontSmaller;
    return 0;
}

bool KeypadAccelerators::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
    // The frame's keys only: a dialog or an open menu has its own.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !frame_ || widget->window() != frame_) return false;
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int command = commandFor(*key);
    if (command == 0) return false;
    if (type == QEvent::ShortcutOverride) {
        // Claimed here, so the shortcut map (which does match on some platforms) never runs
        // the command a second time; the key press that follows runs it.
        event->accept();
        return true;
    }
    event->accept();
    if (run_) run_(command);
    return true;
}

}  // namespace folvek
