// The print-system-free printer: page geometry and its measuring device.
#include "page_layout_printer.h"

#include "qt_device_context.h"

namespace folvek {

PageLayoutPrinter::PageLayoutPrinter(QPageSize::PageSizeId paper) : paper_(paper) {}

QSizeF PageLayoutPrinter::paperSizeMm() const {
    const QSizeF s = QPageSize(paper_).size(QPageSize::Millimeter);
    return landscape_ ? s.transposed() : s;
}

QSizeF PageLayoutPrinter::printableSizeMm() const {
    const QSizeF s = paperSizeMm();
    return {std::max(0.0, s.width() - 2 * marginMm_ - extraRightMm_),
            std::max(0.0, s.height() - 2 * marginMm_)};
}

QPageLayout PageLayoutPrinter::pageLayout() const {
    return QPageLayout(QPageSize(paper_),
                       landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(marginMm_, marginMm_, marginMm_ + extraRightMm_, marginMm_),
                       QPageLayout::Millimeter);
}

std::unique_ptr<LayoutDevice> PageLayoutPrinter::createLayoutDevice() {
    // Measuring needs no pixels: the context answers from the font tables alone.
    return std::make_unique<QtDeviceContext>(nullptr, dpi_, dpi_, printableSizeMm());
}

bool paperFromName(const QString& name, QPageSize::PageSizeId* out) {
    static const struct {
        const char* name;
        QPageSize::PageSizeId id;
    } papers[] = {{"A4", QPageSize::A4},
                  {"A3", QPageSize::A3},
                  {"A5", QPageSize::A5},
                  {"Letter", QPageSize::Letter},
                  {"Legal", QPageSize::Legal}};
    for (const auto& p : papers) {
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0) {
            *out = p.id;
            return true;
        }
    }
    return false;
}

}  // namespace folvek
