// Creating a dialog's widgets from its template table.
#include "dialog_template.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace folvek {

namespace {

QWidget* createControl(QDialog* dialog, const DialogControl& c) {
    const QString text = QString::fromUtf8(c.text ? c.text : "");
    switch (c.kind) {
        case ControlKind::Text:
        case ControlKind::CenterText:
        case ControlKind::RightText: {
            auto* l = new QLabel(text, dialog);
            l->setWordWrap(true);
            l->setTextFormat(Qt::PlainText);
            Qt::Alignment a = c.kind == ControlKind::CenterText  ? Qt::AlignHCenter
                              : c.kind == ControlKind::RightText ? Qt::AlignRight
                                                                 : Qt::AlignLeft;
            l->setAlignment(a | Qt::AlignTop);
            return l;
        }
        case ControlKind::Icon: {
            auto* l = new QLabel(dialog);
            int size = dialog->style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
            l->setPixmap(QApplication::windowIcon().pixmap(size, size));
            l->setFixedSize(size, size);
            return l;
        }
        case ControlKind::Button:
        case ControlKind::DefButton: {
            auto* b = new QPushButton(text, dialog);
            b->setAutoDefault(false);
            if (c.kind == ControlKind::DefButton) b->setDefault(true);
            return b;
        }
        case ControlKind::Edit:
            return new QLineEdit(text, dialog);
        case ControlKind::MultiEdit:
            return new QPlainTextEdit(text, dialog);
        case ControlKind::CheckBox:
            return new QCheckBox(text, dialog);
        case ControlKind::Radio:
            return new QRadioButton(text, dialog);
        case ControlKind::Group:
            return new QGroupBox(text, dialog);
        case ControlKind::ComboList:
            return new QComboBox(dialog);
        case ControlKind::ComboEdit: {
            auto* cb = new QComboBox(dialog);
            cb->setEditable(true);
            return cb;
        }
        case ControlKind::ListBox:
            return new QListWidget(dialog);
    }
    return new QWidget(dialog);
}

}  // namespace

DialogBaseUnits dialogBaseUnits(const QFont& font) {
    QFontMetrics fm(font);
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    DialogBaseUnits u;
    u.avgWidth = (fm.horizontalAdvance(letters) + 26) / 52;
    u.height = fm.height();
    if (u.avgWidth < 1) u.avgWidth = 1;
    if (u.height < 1) u.height = 1;
    return u;
}

QFont dialogFont(const DialogTemplate& t) {
    QFont f(QString::fromUtf8(t.fontName ? t.fontName : "MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(t.pointSize > 0 ? t.pointSize : 8);
    return f;
}

QString dialogObjectName(int id) {
    return QStringLiteral("id%1").arg(id);
}

void buildDialog(QDialog* dialog, const DialogTemplate& t) {
    const QFont font = dialogFont(t);
    dialog->setFont(font);
    dialog->setObjectName(QString::fromUtf8(t.name));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (t.caption) {
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        dialog->setWindowTitle(QString::fromUtf8(t.caption));
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    dialog->setWindowFlags(flags);
    if (!t.caption) {
        // A border drawn by the dialog itself stands in for the modal frame.
        dialog->setStyleSheet(QStringLiteral("QDialog#%1 { border: 2px outset palette(mid); }")
                                  .arg(dialog->objectName()));
    }

    const DialogBaseUnits u = dialogBaseUnits(font);
    dialog->setFixedSize(u.toX(t.w), u.toY(t.h));
    for (const DialogControl& c : t.controls) {
        QWidget* w = createControl(dialog, c);
        w->setFont(font);
        if (c.kind == ControlKind::Icon)
            w->move(u.toX(c.x), u.toY(c.y));
        else if (c.kind == ControlKind::ComboList || c.kind == ControlKind::ComboEdit)
            // A combo box's height in a template includes its open list; closed, it is one line.
            w->setGeometry(u.toX(c.x), u.toY(c.y), u.toX(c.w),
                           std::min(u.toY(c.h), w->sizeHint().height()));
        else
            w->setGeometry(u.toX(c.x), u.toY(c.y), u.toX(c.w), u.toY(c.h));
        if (c.id >= 0) {
            w->setObjectName(dialogObjectName(c.id));
            w->setProperty("dialogId", c.id);
        }
    }
}

QWidget* dialogItem(const QWidget* dialog, int id) {
    return dialog ? dialog->findChild<QWidget*>(dialogObjectName(id)) : nullptr;
}

}  // namespace folvek
