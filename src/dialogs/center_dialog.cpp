// Centring a dialog on the desktop.
#include "center_dialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

namespace folvek {

void CenterDialog(QWidget* window) {
    if (!window) return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect d = screen->geometry();
    const QRect w = window->frameGeometry();
    // Right and bottom are exclusive edges, as the desktop rectangle has them.
    const int right = d.x() + d.width();
    const int bottom = d.y() + d.height();
    const int x = std::abs((right - w.width()) / 2);
    const int y = std::abs((bottom - w.height()) / 2);
    window->move(x, y);
}

}  // namespace folvek
