// The print-system-free printer and the export helpers: page geometry, measuring device, ranges.
#include <gtest/gtest.h>

#include "export.h"
#include "page_layout_printer.h"

namespace folvek {
namespace {

TEST(PageLayoutPrinter, PrintableAreaIsThePaperLessTheHardwareMargins) {
    PageLayoutPrinter printer;
    EXPECT_EQ(printer.paperSizeMm(), QSizeF(210, 297));
    EXPECT_EQ(printer.printableSizeMm(), QSizeF(200, 287));
    printer.setLandscape(true);
    EXPECT_EQ(printer.printableSizeMm(), QSizeF(287, 200));
    printer.setHardwareMarginMm(-3);
    EXPECT_EQ(printer.printableSizeMm(), QSizeF(297, 210));

    const QPageLayout layout = printer.pageLayout();
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
}

TEST(PageLayoutPrinter, LayoutDeviceMeasuresThePrintableArea) {
    PageLayoutPrinter printer(QPageSize::Letter);
    printer.setLandscape(true);
    auto dc = printer.createLayoutDevice();
    ASSERT_TRUE(dc);
    // Letter landscape is 279.4 x 215.9 mm; less 5 mm all round.
    EXPECT_EQ(dc->deviceCaps(DeviceCap::HorzSizeMm), 269);
    EXPECT_EQ(dc->deviceCaps(DeviceCap::VertSizeMm), 206);
    EXPECT_EQ(dc->deviceCaps(DeviceCap::LogPixelsX), PageLayoutPrinter::kDefaultResolution);
    dc->setLoEnglish();
    LogFont font;
    dc->selectFont(font);
    EXPECT_EQ(dc->textExtent("1234567890", 10).cx, 78);
}

TEST(PageLayoutPrinter, PaperNames) {
    QPageSize::PageSizeId id = QPageSize::A4;
    EXPECT_TRUE(paperFromName(QStringLiteral("legal"), &id));
    EXPECT_EQ(id, QPageSize::Legal);
    EXPECT_TRUE(paperFromName(QStringLiteral("A3"), &id));
    EXPECT_EQ(id, QPageSize::A3);
    EXPECT_FALSE(paperFromName(QStringLiteral("B5"), &id));
    EXPECT_EQ(id, QPageSize::A3);
}

TEST(Export, PageRangesAreClampedToTheDocument) {
    int from = 0, to = 0;
    EXPECT_TRUE(resolvePageRange(10, 1, 0, &from, &to));
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 10);
    EXPECT_TRUE(resolvePageRange(10, 4, 99, &from, &to));
    EXPECT_EQ(from, 4);
    EXPECT_EQ(to, 10);
    EXPECT_FALSE(resolvePageRange(10, 11, 0, &from, &to));
    EXPECT_FALSE(resolvePageRange(0, 1, 0, &from, &to));
    // The ends themselves: page 1 alone, the last page alone, a range ending on the last page;
    // a first page below 1 starts at 1, a last page below 1 means the end.
    struct Case {
        int count, first, last, from, to;
    };
    for (const Case c : {Case{10, 1, 1, 1, 1}, Case{10, 10, 10, 10, 10}, Case{10, 3, 10, 3, 10},
                         Case{10, 0, 2, 1, 2}, Case{10, -5, -1, 1, 10}, Case{1, 1, 0, 1, 1}}) {
        from = to = 0;
        EXPECT_TRUE(resolvePageRange(c.count, c.first, c.last, &from, &to)) << c.first;
        EXPECT_EQ(from, c.from) << c.first << ".." << c.last;
        EXPECT_EQ(to, c.to) << c.first << ".." << c.last;
    }
    EXPECT_FALSE(resolvePageRange(10, 6, 5, &from, &to));
    EXPECT_EQ(pageFileName(7, 12, "png"), QStringLiteral("page-0007.png"));
    EXPECT_EQ(pageFileName(7, 123456, "svg"), QStringLiteral("page-000007.svg"));
    EXPECT_EQ(pageFileName(12, 9999, "png"), QStringLiteral("page-0012.png"));
    EXPECT_EQ(pageFileName(12, 10000, "png"), QStringLiteral("page-00012.png"));
}

}  // namespace
}  // namespace folvek
