// The rectangle selection on the page shown: a drag with the left button selects the character
// cells between the press and the pointer, a click without a drag clears them; the cells are
// tinted in the preview only (printing draws the page without the view).
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "document_record.h"
#include "page_text.h"
#include "report_view.h"

namespace folvek {

double ReportView::pixelsPerUnitX() const {
    return viewport()->logicalDpiX() / 100.0 * (record_ ? record_->Zoom / 2.0 : 1.0);
}

double ReportView::pixelsPerUnitY() const {
    return viewport()->logicalDpiY() / 100.0 * (record_ ? record_->Zoom / 2.0 : 1.0);
}

Cell ReportView::cellAtViewport(QPointF pos) {
    if (!record_) return {};
    // The inverse of the painter's mapping: the scroll shift, then 0.01 inch with y upward.
    const QPointF device = pos + scrollOffset();
    return cellAt(*record_, pageLocator_, record_->curPage, device.x() / pixelsPerUnitX(),
                  -device.y() / pixelsPerUnitY());
}

void ReportView::setSelection(const std::optional<CellRange>& cells) {
    if (selection_ == cells) return;
    selection_ = cells;
    repaintAll();
    updateCommandStates();
}

std::u16string ReportView::selectionText() {
    if (!record_ || !selection_) return {};
    return cellsText(*record_, pageLocator_, record_->curPage, *selection_);
}

void ReportView::paintSelection(QPainter& painter) {
    if (!record_ || !selection_) return;
    const Rect r = cellsBox(*record_, pageLocator_, record_->curPage, *selection_);
    const QRectF box(QPointF(r.left * pixelsPerUnitX(), -r.top * pixelsPerUnitY()),
                     QPointF(r.right * pixelsPerUnitX(), -r.bottom * pixelsPerUnitY()));
    // Multiplied over the page, the tint leaves the text and the frame lines readable.
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.fillRect(box, QColor(170, 200, 255));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void ReportView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !record_)
        return QAbstractScrollArea::mousePressEvent(event);
    pressed_ = true;
    dragging_ = false;
    pressPos_ = event->position().toPoint();
    dragAnchor_ = cellAtViewport(event->position());
    event->accept();
}

void ReportView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton) || !record_)
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance())
        return;
    dragging_ = true;
    setSelection(cellSpan(dragAnchor_, cellAtViewport(event->position())));
    event->accept();
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    pressed_ = false;
    if (!dragging_) setSelection(std::nullopt);
    dragging_ = false;
    event->accept();
}

}  // namespace folvek
