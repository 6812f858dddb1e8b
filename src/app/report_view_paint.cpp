// Page navigation, zoom, orientation, the keyboard, the scroll ranges and painting.
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "app_globals.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "page_matches.h"
#include "page_renderer.h"
#include "page_text.h"
#include "printer_settings.h"
#include "qt_device_context.h"
#include "report_view.h"
#include "settings_files.h"
#include "startup_window.h"
#include "status_fields.h"

namespace folvek {

int ReportView::hPos() const {
    return horizontalScrollBar()->value();
}
int ReportView::vPos() const {
    return verticalScrollBar()->value();
}
int ReportView::hRange() const {
    return horizontalScrollBar()->maximum();
}
int ReportView::vRange() const {
    return verticalScrollBar()->maximum();
}

void ReportView::scrollTo(int x, int y) {
    horizontalScrollBar()->setValue(x);  // the scroll bar clamps into 0..range
    verticalScrollBar()->setValue(y);
}

DocumentRecord* ReportView::record() const {
    return record_;
}

void ReportView::repaintAll() {
    viewport()->update();
}

void ReportView::documentChanged(unsigned changes) {
    if (changes & (kTextChanged | kLayoutChanged | kZoomChanged)) UpdateScrollRanges();
    if (changes & (kTextChanged | kLayoutChanged | kPageChanged))
        selection_.reset();  // the cells were those of the page left
    if (changes & kSettingsFileChanged) refreshSettingsFiles(record_);
    // A file read whole at last: the commands that waited for it.
    if (changes & kTextChanged) updateCommandStates();
    repaintAll();
}

void ReportView::nextPage() {
    if (model_) model_->goToPage(record_->curPage + 1);
}

void ReportView::prevPage() {
    if (model_) model_->goToPage(record_->curPage - 1);
}

void ReportView::firstPage() {
    if (model_) model_->goToPage(1);
}

void ReportView::lastPage() {
    if (model_) model_->goToPage(record_->pageCount);
}

void ReportView::zoomIn() {
    if (model_ && record_->Zoom < 11) model_->zoomChanged(record_->Zoom + 1);
}

void ReportView::zoomOut() {
    if (model_ && record_->Zoom > 1) model_->zoomChanged(record_->Zoom - 1);
}

void ReportView::setOrientation(int orient) {
    if (model_) model_->orientationChanged(orient);
}

void ReportView::UpdateScrollRanges() {
    if (!record_) return;
    const DocumentRecord& p = *record_;
    const int d = p.Zoom / 2;
    hUnit_ = static_cast<int>(p.charWidth);
    vUnit_ = p.lineHeight;

    long double h =
        p.charWidth != 0 ? static_cast<long double>(p.pageWidth) * 20 * d / p.charWidth : 0;
    long long hRange = static_cast<long long>(h);
    const long long byLines = static_cast<long long>(p.maxLineLength) * (d + 1);
    if (hRange < byLines) hRange = byLines;
    long double v =
        p.lineHeight != 0 ? static_cast<long double>(p.pageHeight) * 10 * d / p.lineHeight : 0;
    long long vRange = static_cast<long long>(v);

    auto clampRange = [](long long r) {
        return static_cast<int>(std::clamp<long long>(r, 0, INT_MAX));
    };
    horizontalScrollBar()->setRange(0, clampRange(hRange));
    verticalScrollBar()->setRange(0, clampRange(vRange));
    updatePageSteps();
}

void ReportView::updatePageSteps() {
    // Whole units that fit in the client area, less one, at least 1.
    auto step = [](int pixels, int unit) { return unit > 0 ? std::max(1, pixels / unit - 1) : 1; };
    horizontalScrollBar()->setPageStep(step(viewport()->width(), hUnit_));
    verticalScrollBar()->setPageStep(step(viewport()->height(), vUnit_));
}

void ReportView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updatePageSteps();
}

void ReportView::scrollContentsBy(int, int) {
    repaintAll();
}

void ReportView::keyPressEvent(QKeyEvent* event) {
    if (!record_) return QAbstractScrollArea::keyPressEvent(event);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int bottom = vUnit_ > 0 ? record_->pageHeight * 10 / vUnit_ : 0;
    auto toPrevious = [&](int step) {
        if (vPos() == 0 && record_->curPage > 1) {
            runCommand(CmPrevPage);
            scrollTo(0, bottom);
        } else {
            scrollTo(hPos(), vPos() - step);
        }
    };
    auto toNext = [&](int step) {
        if (vPos() == vRange() && isCommandEnabled(CmNextPage)) {
            runCommand(CmNextPage);
            scrollTo(0, 0);
        } else {
            scrollTo(hPos(), vPos() + step);
        }
    };
    const int vPage = verticalScrollBar()->pageStep();
    switch (event->key()) {
        case Qt::Key_PageUp:
            ctrl ? runCommand(CmPrevPage) : toPrevious(vPage);
            break;
        case Qt::Key_PageDown:
            ctrl ? runCommand(CmNextPage) : toNext(vPage);
            break;
        case Qt::Key_Home:
            ctrl ? runCommand(CmFirstPage) : scrollTo(0, 0);
            break;
        case Qt::Key_End:
            ctrl ? runCommand(CmLastPage) : scrollTo(0, bottom);
            break;
        case Qt::Key_Up:
            toPrevious(1);
            break;
        case Qt::Key_Down:
            toNext(1);
            break;
        case Qt::Key_Left:
            scrollTo(hPos() - 1, vPos());
            break;
        case Qt::Key_Right:
            scrollTo(hPos() + 1, vPos());
            break;
        default:
            event->ignore();
            return;
    }
    event->accept();
}

void ReportView::paintEvent(QPaintEvent*) {
    destroyStartupWindow();
    if (!record_) return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(-scrollOffset());
    const double dpiX = viewport()->logicalDpiX();
    const double dpiY = viewport()->logicalDpiY();
    QtDeviceContext dc(
        &painter, dpiX, dpiY,
        QSizeF(viewport()->width() * 25.4 / dpiX, viewport()->height() * 25.4 / dpiY));
    drawPage(*record_, dc, 0, false, pageLocator_);
    if (marks_ && !marks_->empty()) {
        const std::vector<Rect> boxes =
            matchBoxes(*record_, pageLocator_, record_->curPage, *marks_);
        dc.saveState();
        dc.setLoEnglish();
        dc.scaleViewport(record_->Zoom, 2, record_->Zoom, 2);
        // Multiplied over the page, the marks tint the paper and leave the text black.
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        std::vector<Rect> shown;
        if (currentMark_) {
            const std::vector<TextMatch> one{*currentMark_};
            shown = matchBoxes(*record_, pageLocator_, record_->curPage, one);
        }
        auto isShown = [&shown](const Rect& r) {
            for (const Rect& s : shown)
                if (s.left == r.left && s.top == r.top && s.right == r.right &&
                    s.bottom == r.bottom)
                    return true;
            return false;
        };
        auto fill = [&](const Rect& r, const QColor& colour) {
            painter.fillRect(QRectF(dc.toDevice(r.left, r.top), dc.toDevice(r.right, r.bottom)),
                             colour);
        };
        for (const Rect& r : boxes)
            if (!isShown(r)) fill(r, searchMarkColour());
        for (const Rect& r : shown) fill(r, currentMatchColour());
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        dc.restoreState(-1);
    }
    paintSelection(painter);
}

QPointF ReportView::scrollOffset() const {
    // The scroller moves the origin by whole units in device pixels, but only while both
    // offsets fit in 16 bits.
    const long long dx = static_cast<long long>(hPos()) * hUnit_;
    const long long dy = static_cast<long long>(vPos()) * vUnit_;
    if (dx <= 32767 && dy <= 32767) return {static_cast<double>(dx), static_cast<double>(dy)};
    return {};
}

void ReportView::setSearchMarks(const std::vector<TextMatch>* matches) {
    marks_ = matches;
    currentMark_.reset();
    repaintAll();
}

std::u16string ReportView::pageText(int page) {
    return record_ ? folvek::pageText(*record_, pageLocator_, page) : std::u16string();
}

int ReportView::sheetOf(const TextMatch& match) {
    return record_ ? sheetOfMatch(*record_, pageLocator_, match) : 1;
}

void ReportView::showMatch(const TextMatch& match) {
    if (!model_) return;
    currentMark_ = match;
    model_->goToPage(sheetOf(match));
    repaintAll();
    const std::vector<TextMatch> one{match};
    const std::vector<Rect> boxes = matchBoxes(*record_, pageLocator_, record_->curPage, one);
    if (boxes.empty() || hUnit_ <= 0 || vUnit_ <= 0) return;
    // The box in the view's pixels before scrolling, as the page is drawn.
    const double scale = record_->Zoom / 2.0;
    const double x = boxes[0].left * viewport()->logicalDpiX() / 100.0 * scale;
    const double top = -boxes[0].top * viewport()->logicalDpiY() / 100.0 * scale;
    const double bottom = -boxes[0].bottom * viewport()->logicalDpiY() / 100.0 * scale;
    const double left = static_cast<double>(hPos()) * hUnit_;
    const double upper = static_cast<double>(vPos()) * vUnit_;
    int h = hPos(), v = vPos();
    if (x < left || x > left + viewport()->width() - 20) h = static_cast<int>(x / hUnit_) - 2;
    if (top < upper || bottom > upper + viewport()->height())
        v = static_cast<int>((top - viewport()->height() / 3.0) / vUnit_);
    scrollTo(std::max(h, 0), std::max(v, 0));
}

void registerViewCommands(ReportView& view) {
    auto notFirst = [&view] { return view.record() && view.record()->curPage > 1; };
    auto notLast = [&view] {
        const DocumentRecord* p = view.record();
        return p && p->curPage < p->pageCount;
    };
    view.addCommand(
        CmPrevPage, [&view] { view.prevPage(); }, notFirst);
    view.addCommand(
        CmNextPage, [&view] { view.nextPage(); }, notLast);
    view.addCommand(
        CmFirstPage, [&view] { view.firstPage(); }, notFirst);
    view.addCommand(
        CmLastPage, [&view] { view.lastPage(); }, notLast);
    view.addCommand(
        CmZoomIn, [&view] { view.zoomIn(); },
        [&view] { return view.record() && view.record()->Zoom < 11; });
    view.addCommand(
        CmZoomOut, [&view] { view.zoomOut(); },
        [&view] { return view.record() && view.record()->Zoom > 1; });
    view.addCommand(CmPortrait, [&view] { view.setOrientation(0); });
    view.addCommand(CmLandscape, [&view] { view.setOrientation(1); });
    // The fit on or off: the layout, page count, status bar and scroll ranges follow.
    view.addCommand(
        CmFitWidth,
        [&view] {
            if (Document* model = view.document())
                model->fitWidthChanged(!model->record().FitWidth);
        },
        [&view] { return view.record() != nullptr; });
}

}  // namespace folvek
