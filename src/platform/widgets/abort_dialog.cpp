// The abort dialog.
#include "abort_dialog.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

namespace folvek {

namespace {

// The template's width (138 dialog units of an 8-point font) is the least; longer texts widen
// the dialog up to this, and beyond it a path loses its middle (the tooltip keeps it whole).
constexpr int kMinWidth = 138 * 6 / 4;
constexpr int kMaxTextWidth = 560;

QLabel* staticText(QWidget* parent, const QString& text, Qt::Alignment align) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString fitted(const QLabel* label, const QString& text) {
    return label->fontMetrics().elidedText(text, Qt::ElideMiddle, kMaxTextWidth);
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

    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &AbortDialog::cancelJob);

    // Rows, each wide enough for its text: "Now printing" until the first page, then the
    // page and the range's last page side by side; the document; the printer and its queue.
    nowPrinting_ = staticText(this, QStringLiteral("Now printing"), Qt::AlignHCenter);
    page_ = staticText(this, QStringLiteral("Печать страницы %d"), Qt::AlignRight);
    lastPage_ = staticText(this, QStringLiteral("из %d "), Qt::AlignLeft);
    page_->hide();
    lastPage_->hide();
    title_ = staticText(this, QString(), Qt::AlignHCenter);
    title_->setText(fitted(title_, QStringLiteral("'%1' на").arg(title)));
    title_->setToolTip(title);
    device_ = staticText(this, QString(), Qt::AlignHCenter);
    device_->setText(fitted(device_, QStringLiteral("%1 на %2").arg(device, port)));
    spare_ = staticText(this, QString(), Qt::AlignHCenter);
    spare_->hide();

    auto* pageRow = new QHBoxLayout;
    pageRow->setSpacing(4);
    pageRow->addStretch(1);
    pageRow->addWidget(nowPrinting_);
    pageRow->addWidget(page_);
    pageRow->addWidget(lastPage_);
    pageRow->addStretch(1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(cancel_);
    buttonRow->addStretch(1);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(pageRow);
    rows->addWidget(title_);
    rows->addWidget(device_);
    rows->addWidget(spare_);
    rows->addSpacing(6);
    rows->addLayout(buttonRow);
    rows->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(kMinWidth);
    // Room for the widest page line the job can show, so the dialog does not jump meanwhile.
    page_->setMinimumWidth(
        page_->fontMetrics().horizontalAdvance(QStringLiteral("Печать страницы 99999")));
    lastPage_->setMinimumWidth(
        lastPage_->fontMetrics().horizontalAdvance(QStringLiteral("из 99999 ")));

    if (owner) {
        move(owner->mapToGlobal(QPoint(84 * 6 / 4, 51 * 13 / 8)));
        winId();
        if (QWindow* ownerWindow = owner->window()->windowHandle())
            windowHandle()->setTransientParent(ownerWindow);
    }
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
