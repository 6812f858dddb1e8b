// The start-up window: the "About" template shown without its OK button while the program
// loads, and destroyed by the view's first paint.
#pragma once

class QDialog;
class QEvent;

namespace folvek {

// Creates and shows it (modeless, no owner) and remembers it process-wide.
QDialog* showStartupWindow();
// Destroys it if it still exists and forgets it.
void destroyStartupWindow();
bool startupWindowExists();

// The window's event procedure: on showing, centre it, hide control 2 and remember it; a
// press of control 2 or a close request destroys it. Returns true when it handled the event.
bool dialWait(QDialog* window, QEvent* event);

}  // namespace folvek
