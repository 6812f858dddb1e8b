// The "About" template (shared by the About box and the start-up window) and the About box.
#pragma once

#include <QDialog>

#include "dialog_template.h"

namespace folvek {

// Control identifiers of the template.
enum AboutControl {
    kAboutProduct = 101,
    kAboutExtra = 105,   // empty in the template
    kAboutStatus = 106,  // "Загрузка..." in the template
    kAboutOk = 2,
};

const DialogTemplate& aboutTemplate();

inline constexpr const char* kMakerWebAddress = "https://folvek.github.io";
inline constexpr const char* kMakerMailAddress = "folvek@users.noreply.github.com";

// Run modally over the view; "OK" closes it.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent);
};

}  // namespace folvek
