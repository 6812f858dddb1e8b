// Message boxes for the core.
#include "message_boxes.h"

#include <QMessageBox>

namespace folvek {

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

MsgAnswer QtMessages::show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons) {
    QMessageBox box(toQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    toQt(buttons), owner_.data());
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        default:
            break;
    }
    // Closing a box without a Cancel button counts as its only answer.
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

}  // namespace folvek
