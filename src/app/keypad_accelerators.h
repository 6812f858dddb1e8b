// The keypad's plus and minus accelerators (zoom, and with Ctrl the font size), matched by the
// frame itself: Qt's X11 shortcut matching drops the keypad flag, so a shortcut that includes
// it never fires there, while the main keyboard's + and − must keep doing nothing.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QKeyEvent;
class QWidget;

namespace folvek {

class KeypadAccelerators : public QObject {
  public:
    // Watches the key presses of every widget in `frame`'s window and runs the command of a
    // keypad accelerator through `run`. Lives as long as the frame.
    KeypadAccelerators(QWidget* frame, std::function<void(int command)> run);
    ~KeypadAccelerators() override;

    // The command of a keypad accelerator, or 0 for any other key (the main keyboard's + and −
    // among them).
    static int commandFor(const QKeyEvent& event);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> frame_;
    std::function<void(int)> run_;
};

}  // namespace folvek
