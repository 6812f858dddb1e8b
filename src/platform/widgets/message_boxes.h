// The core's message sink over QMessageBox: the icon, buttons and caption exactly as given.
#pragma once

#include <QPointer>
#include <QWidget>

#include "messages.h"

namespace folvek {

class QtMessages : public MessageSink {
  public:
    // Boxes are owned by `owner` when it is set (and still alive), else they have no owner.
    explicit QtMessages(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons = MsgButtons::Ok) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace folvek
