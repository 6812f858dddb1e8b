// The abort dialog.
#include "abort_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

namespace folvek {

namespace {

// Dialog units of an 8-point "MS Sans Serif" template: 4 units across are 6 pixels, 8 units
// down are 13.
int duX(int x) {
    return x * 6 / 4;
}
int duY(int y) {
    return y * 13 / 8;
}
QRect duRect(int x, int y, int w, int h) {
    return {duX(x), duY(y), duX(w), duY(h)};
}

QLabel* staticText(QWidget* parent, const QString& text, Qt::Alignment align, QRect r) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setGeometry(r);
    return label;
}

}  // namespace

AbortDialog::AbortDialog(QWidget* owner, const QString& title, const QString& device,
                         const QString& port)
    // No Qt parent: the owner is disabled while the job runs and would take the dialog with it.
    // The owner's window still holds it in front as its transient parent.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("AbortDialog32599"));
    setWindowTitle(QStringLiteral("Печать"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(duX(138), duY(60));
    if (owner) {
        move(owner->mapToGlobal(QPoint(duX(84), duY(51))));
        winId();
        if (QWindow* ownerWindow = owner->window()->windowHandle())
            windowHandle()->setTransientParent(ownerWindow);
    }

    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setGeometry(duRect(49, 41, 40, 14));
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &AbortDialog::cancelJob);

    nowPrinting_ =
        staticText(this, QStringLiteral("Now printing"), Qt::AlignHCenter, duRect(33, 4, 72, 8));
    page_ =
        staticText(this, QStringLiteral("Печать страницы %d"), Qt::AlignLeft, duRect(14, 4, 84, 8));
    lastPage_ = staticText(this, QStringLiteral("из %d "), Qt::AlignRight, duRect(96, 4, 27, 8));
    // "Now printing" and the page line share the first row: the page line replaces it once the
    // first page is under way.
    page_->hide();
    lastPage_->hide();
    title_ = staticText(this, QStringLiteral("'%1' на").arg(title), Qt::AlignHCenter,
                        duRect(4, 12, 130, 8));
    spare_ = staticText(this, QString(), Qt::AlignHCenter, duRect(4, 29, 130, 8));
    spare_->hide();
    device_ = staticText(this, QStringLiteral("%1 на %2").arg(device, port), Qt::AlignHCenter,
                         duRect(0, 20, 130, 8));
}

void AbortDialog::setPage(int page) {
    page_->setText(QStringLiteral("Печать страницы %1").arg(page));
    nowPrinting_->hide();
    page_->show();
    lastPage_->show();
}

void AbortDialog::setLastPage(int page) {
    lastPage_->setText(page > 0 ? QStringLiteral("из %1 ").arg(page) : QString());
}

QLabel* AbortDialog::label(Control id) const {
    switch (id) {
        case kTitle:
            return title_;
        case kDevice:
            return device_;
        case kSpare:
            return spare_;
        case kPage:
            return page_;
        case kLastPage:
            return lastPage_;
        case kCancel:
            break;
    }
    return nullptr;
}

void AbortDialog::cancelJob() {
    cancelled_ = true;
    cancel_->setEnabled(false);
}

void AbortDialog::reject() {
    if (!cancelled_) cancelJob();
}

void AbortDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace folvek
