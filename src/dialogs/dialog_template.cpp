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
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <cmath>

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
        case ControlKind::Group: {
            // A template places a group's title at its top and its frame half a line lower,
            // through the title; the styles draw the frame under the title, across the
            // controls placed just below it.
            auto* g = new QGroupBox(text, dialog);
            g->setStyleSheet(QStringLiteral(
                "QGroupBox { margin-top: 0.5em; border: 1px solid palette(mid); }"
                "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                " left: 6px; top: 0px; padding: 0px 2px; }"));
            return g;
        }
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

const char* const kUnitsProperty = "dialogUnits";  // the template's rectangle, dialog units
const char* const kKindProperty = "dialogKind";
const char* const kScaleProperty = "dialogScale";  // the units in use once widened

void placeControls(QDialog* dialog, const DialogBaseUnits& u) {
    const QRect size = dialog->property(kUnitsProperty).toRect();
    dialog->setFixedSize(u.toX(size.width()), u.toY(size.height()));
    for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant units = w->property(kUnitsProperty);
        if (!units.isValid()) continue;
        const QRect c = units.toRect();
        const auto kind = static_cast<ControlKind>(w->property(kKindProperty).toInt());
        if (kind == ControlKind::Icon)
            w->move(u.toX(c.x()), u.toY(c.y()));
        else if (kind == ControlKind::ComboList || kind == ControlKind::ComboEdit)
            // A combo box's height in a template includes its open list; closed, it is one line.
            w->setGeometry(u.toX(c.x()), u.toY(c.y()), u.toX(c.width()),
                           std::min(u.toY(c.height()), w->sizeHint().height()));
        else
            w->setGeometry(u.toX(c.x()), u.toY(c.y()), u.toX(c.width()), u.toY(c.height()));
    }
}

// The room a control's own text needs in the font it is shown in; empty for controls whose
// text is the user's.
QSize textNeed(QWidget* w) {
    const QFontMetrics fm(w->font());
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty()) return {};
        // A wrapped text needs its longest word across and all its lines down.
        int word = 0;
        for (const QString& part : l->text().split(QRegularExpression(QStringLiteral("\\s+"))))
            word = std::max(word, fm.horizontalAdvance(part));
        return {word + 2, l->heightForWidth(l->width())};
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        // The style's least button width is no part of the text's need.
        QString text = b->text();
        text.remove(QLatin1Char('&'));
        if (text.isEmpty()) return {};
        return {fm.horizontalAdvance(text) + 2 * fm.averageCharWidth(), fm.height()};
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text().isEmpty()) return {};
        return {b->sizeHint().width(), fm.height()};
    }
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return {fm.horizontalAdvance(g->title()) + 4 * fm.averageCharWidth(), 2 * fm.height()};
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->count() == 0) return {};
        int widest = 0;
        for (int i = 0; i < c->count(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(c->itemText(i)));
        // The arrow and the frame, as the style adds them around the text.
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        const QSize room = c->style()->sizeFromContents(QStyle::CT_ComboBox, &opt,
                                                        QSize(widest + 4, fm.height()), c);
        return {room.width(), 0};
    }
    return {};
}

// Measures the dialog again when it first shows, with its lists filled.
class RefitOnShow : public QObject {
  public:
    explicit RefitOnShow(QDialog* dialog) : QObject(dialog), dialog_(dialog) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == dialog_ && event->type() == QEvent::Show && !done_) {
            done_ = true;
            fitDialogToTexts(dialog_);
        }
        return false;
    }

  private:
    QDialog* dialog_;
    bool done_ = false;
};

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

    dialog->setProperty(kUnitsProperty, QRect(0, 0, t.w, t.h));
    for (const DialogControl& c : t.controls) {
        QWidget* w = createControl(dialog, c);
        w->setFont(font);
        w->setProperty(kUnitsProperty, QRect(c.x, c.y, c.w, c.h));
        w->setProperty(kKindProperty, static_cast<int>(c.kind));
        if (c.id >= 0) {
            w->setObjectName(dialogObjectName(c.id));
            w->setProperty("dialogId", c.id);
        }
    }
    placeControls(dialog, dialogBaseUnits(font));
    fitDialogToTexts(dialog);
    // Lists are filled after the dialog is built: their entries are measured when it shows.
    dialog->installEventFilter(new RefitOnShow(dialog));
}

void fitDialogToTexts(QDialog* dialog) {
    const DialogBaseUnits base = dialogBaseUnits(dialog->font());
    DialogBaseUnits u = base;
    if (const QSize used = dialog->property(kScaleProperty).toSize(); used.isValid())
        u = {used.width(), used.height()};
    // Each pass widens (heightens) the units by what the worst control lacks; the texts grow
    // less than the units, so a few passes settle. Controls that fit are not touched, so a
    // dialog that arranged itself after building keeps its arrangement.
    for (int pass = 0; pass < 6; ++pass) {
        double wide = 1, tall = 1;
        for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            // A control given no width or no height shows no text at any scale.
            if (!w->property(kUnitsProperty).isValid() || w->width() <= 0 || w->height() <= 0)
                continue;
            const QSize need = textNeed(w);
            wide = std::max(wide, double(need.width()) / w->width());
            tall = std::max(tall, double(need.height()) / w->height());
        }
        // Never beyond twice the template's size: a list of very long names scrolls instead.
        const DialogBaseUnits next{std::min(2 * base.avgWidth, int(std::ceil(u.avgWidth * wide))),
                                   std::min(2 * base.height, int(std::ceil(u.height * tall)))};
        if (next.avgWidth == u.avgWidth && next.height == u.height) return;
        u = next;
        dialog->setProperty(kScaleProperty, QSize(u.avgWidth, u.height));
        placeControls(dialog, u);
    }
}

QWidget* dialogItem(const QWidget* dialog, int id) {
    return dialog ? dialog->findChild<QWidget*>(dialogObjectName(id)) : nullptr;
}

}  // namespace folvek
