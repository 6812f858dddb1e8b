// Centres a window on the desktop (the screen it is on, or the primary screen).
#pragma once

class QWidget;

namespace folvek {

// x = |(D.right - W.width) / 2|, y = |(D.bottom - W.height) / 2|, with D the desktop's
// rectangle and W the window's outer rectangle; the size is kept.
void CenterDialog(QWidget* window);

}  // namespace folvek
