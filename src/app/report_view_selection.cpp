// The rectangle selection on the page shown: a drag with the left button selects the character
// cells between the press and the pointer, a click without a drag clears them; the cells are
// tinted in the preview only (printing draws the page without the view). A drag held past the
// viewport's edge scrolls the page towards the pointer.
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

#include "document_record.h"
#include "job_places.h"
#include "page_renderer.h"
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

std::vector<std::u16string> ReportView::selectionRows() {
    if (!record_ || !selection_) return {};
    return cellsRows(*record_, pageLocator_, record_->curPage, *selection_);
}

bool ReportView::documentCell(Cell cell, std::int64_t& line, std::int32_t& column) {
    if (!record_ || cell.row < 0 || cell.column < 0) return false;
    // On a job's page: the row of the job's text grid and the column of the nearest character.
    if (record_->jobLayout) return jobGridCell(*record_, record_->curPage, cell, line, column);
    const SheetText sheet = sheetText(*record_, record_->curPage, pageLocator_);
    if (cell.row >= sheetRows(*record_, sheet)) return false;
    line = sheet.start.firstLine + cell.row;
    // A continuation sheet shows the columns after the strips before it.
    column = cell.column + (record_->isWrap && record_->charsPerLine > 0
                                ? sheet.start.strip * record_->charsPerLine
                                : 0);
    return line < static_cast<std::int64_t>(record_->lines.size());
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
    dragPos_ = pos;
    setSelection(cellSpan(dragAnchor_, cellAtViewport(event->position())));
    if (!viewport()->rect().contains(pos)) {
        if (!dragScroll_) {
            dragScroll_ = new QTimer(this);
            dragScroll_->setInterval(40);
            connect(dragScroll_, &QTimer::timeout, this, &ReportView::dragScrollStep);
        }
        if (!dragScroll_->isActive()) dragScroll_->start();
    } else if (dragScroll_) {
        dragScroll_->stop();
    }
    event->accept();
}

void ReportView::dragScrollStep() {
    if (!pressed_ || !dragging_ || !record_) {
        dragScroll_->stop();
        return;
    }
    // Faster the farther the pointer is past the edge, by scroll steps of the view.
    const QRect port = viewport()->rect();
    const auto step = [](int past, int unit) {
        if (past == 0) return 0;
        const int steps = std::max(1, std::abs(past) / std::max(1, unit));
        return past < 0 ? -steps : steps;
    };
    const int dx = dragPos_.x() < port.left()    ? dragPos_.x() - port.left()
                   : dragPos_.x() > port.right() ? dragPos_.x() - port.right()
                                                 : 0;
    const int dy = dragPos_.y() < port.top()      ? dragPos_.y() - port.top()
                   : dragPos_.y() > port.bottom() ? dragPos_.y() - port.bottom()
                                                  : 0;
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const int oldH = h->value(), oldV = v->value();
    h->setValue(oldH + step(dx, hUnit_));
    v->setValue(oldV + step(dy, vUnit_));
    if (h->value() == oldH && v->value() == oldV) return;  // at the page's edge already
    // The cell under the pointer is another one now that the page moved under it.
    setSelection(cellSpan(dragAnchor_, cellAtViewport(QPointF(dragPos_))));
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    pressed_ = false;
    if (dragScroll_) dragScroll_->stop();
    if (!dragging_) setSelection(std::nullopt);
    dragging_ = false;
    event->accept();
}

}  // namespace folvek
