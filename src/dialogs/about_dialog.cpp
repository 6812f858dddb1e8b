// The "About" template and the About box.
#include "about_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace folvek {

const DialogTemplate& aboutTemplate() {
    static const DialogTemplate t{
        "About",
        nullptr,
        163,
        140,
        "MS Sans Serif",
        8,
        {
            {ControlKind::Icon, -1, nullptr, 4, 9, 0, 0},
            {ControlKind::Text, -1, "Программа просмотра и печати текстовых файлов", 28, 7, 121,
             20},
            {ControlKind::Text, kAboutProduct, "K R B Folvek", 28, 32, 60, 8},
            {ControlKind::Text, -1, "Версия 2.12", 28, 42, 124, 8},
            {ControlKind::Text, kAboutStatus, "Загрузка...", 28, 56, 124, 8},
            {ControlKind::Text, kAboutExtra, "", 27, 66, 120, 8},
            {ControlKind::Text, -1, "Разработчики: KRB Folvek", 28, 80, 130, 8},
            {ControlKind::Text, -1, "Сайт: folvek.github.io", 28, 90, 130, 8},
            {ControlKind::Text, -1, "Почта: folvek@users.noreply.github.com", 28, 100, 134, 8},
            {ControlKind::DefButton, kAboutOk, "OK", 102, 118, 58, 14},
        },
    };
    return t;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    buildDialog(this, aboutTemplate());
    if (auto* status = qobject_cast<QLabel*>(dialogItem(this, kAboutStatus)))
        status->setText(
            QStringLiteral("Сборка для Linux, Qt %1").arg(QString::fromLatin1(qVersion())));
    if (auto* ok = qobject_cast<QPushButton*>(dialogItem(this, kAboutOk)))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace folvek
