// Which key presses are keypad accelerators: the keypad flag or the X key symbol decides, the
// main keyboard's + and - never are, and only Ctrl may go with them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <vector>

#include "command_ids.h"
#include "keypad_accelerators.h"

using namespace folvek;

namespace {

int command(int key, Qt::KeyboardModifiers mods, quint32 keysym) {
    const QKeyEvent e(QEvent::KeyPress, key, mods, 0, keysym, 0);
    return KeypadAccelerators::commandFor(e);
}

constexpr quint32 kKpAdd = 0xffab, kKpSubtract = 0xffad, kPlus = 0x2b, kMinus = 0x2d;

}  // namespace

TEST(KeypadAccelerators, KeypadKeysByFlagOrBySymbolAndNothingElse) {
    const auto pad = Qt::KeypadModifier, ctrl = Qt::ControlModifier;
    EXPECT_EQ(command(Qt::Key_Plus, pad, 0), CmZoomIn);
    EXPECT_EQ(command(Qt::Key_Minus, pad, 0), CmZoomOut);
    EXPECT_EQ(command(Qt::Key_Plus, ctrl | pad, 0), CmFontLarger);
    EXPECT_EQ(command(Qt::Key_Minus, ctrl | pad, 0), CmFontSmaller);
    // X11 without the flag: the key symbol still tells the keypad.
    EXPECT_EQ(command(Qt::Key_Plus, Qt::NoModifier, kKpAdd), CmZoomIn);
    EXPECT_EQ(command(Qt::Key_Minus, ctrl, kKpSubtract), CmFontSmaller);
    // The main keyboard, and other modifiers, are not accelerators.
    EXPECT_EQ(command(Qt::Key_Plus, Qt::ShiftModifier, kPlus), 0);
    EXPECT_EQ(command(Qt::Key_Minus, Qt::NoModifier, kMinus), 0);
    EXPECT_EQ(command(Qt::Key_Plus, ctrl | Qt::ShiftModifier, kPlus), 0);
    EXPECT_EQ(command(Qt::Key_Plus, Qt::ShiftModifier | pad, kKpAdd), 0);
    EXPECT_EQ(command(Qt::Key_Plus, Qt::AltModifier | pad, kKpAdd), 0);
    EXPECT_EQ(command(Qt::Key_Asterisk, pad, 0xffaa), 0);
}

// The filter as the frame installs it: the shortcut check is claimed so that no shortcut runs
// the command too, the press alone runs it once, the release and the main keyboard's + do
// nothing, and keys of another window are not the frame's.
TEST(KeypadAccelerators, TheFrameClaimsTheShortcutCheckAndRunsThePressOnce) {
    QWidget frame;
    auto* child = new QWidget(&frame);
    std::vector<int> ran;
    KeypadAccelerators keys(&frame, [&](int command) { ran.push_back(command); });
    const auto send = [](QWidget* to, QEvent::Type type, Qt::KeyboardModifiers mods) {
        QKeyEvent e(type, Qt::Key_Plus, mods, 0, 0, 0);
        e.ignore();
        QApplication::sendEvent(to, &e);
        return e.isAccepted();
    };
    EXPECT_TRUE(send(child, QEvent::ShortcutOverride, Qt::KeypadModifier));
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(send(child, QEvent::KeyPress, Qt::KeypadModifier));
    EXPECT_EQ(ran, std::vector<int>{CmZoomIn});
    send(child, QEvent::KeyRelease, Qt::KeypadModifier);
    EXPECT_FALSE(send(child, QEvent::ShortcutOverride, Qt::NoModifier)) << "the main keyboard's +";
    send(child, QEvent::KeyPress, Qt::NoModifier);
    EXPECT_TRUE(send(child, QEvent::KeyPress, Qt::KeypadModifier | Qt::ControlModifier));
    EXPECT_EQ(ran, (std::vector<int>{CmZoomIn, CmFontLarger}));
    QWidget other;
    send(&other, QEvent::KeyPress, Qt::KeypadModifier);
    EXPECT_EQ(ran.size(), 2u) << "another window's keys are its own";
}
