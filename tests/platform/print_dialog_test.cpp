// The print dialog offers page numbers only for documents of more than one page, and never the
// free-form page list that the job could not honour. Shown without a modal loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPrinter>

#include "print_dialog.h"

using namespace folvek;

namespace {

// Enabled and not hidden, it and its group (the options part itself starts folded away).
bool offered(QWidget& dialog, const char* name) {
    QWidget* w = dialog.findChild<QWidget*>(QString::fromLatin1(name));
    return w && w->isEnabled() && !w->isHidden() && !w->parentWidget()->isHidden();
}

}  // namespace

TEST(PrintDialog, OnePageOffersNoPageNumbersSeveralPagesOfferTheirRange) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    {
        FolvekPrintDialog one(&printer, nullptr, false, 0, 0);
        one.show();
        // Qt's CUPS dialog turns the range back on when it appears; it must stay off.
        EXPECT_FALSE(offered(one, "printRange"));
        EXPECT_FALSE(offered(one, "from"));
        EXPECT_FALSE(offered(one, "pagesLineEdit"));
        one.close();
    }
    {
        FolvekPrintDialog five(&printer, nullptr, true, 1, 5);
        five.show();
        EXPECT_TRUE(offered(five, "printRange"));
        EXPECT_EQ(five.minPage(), 1);
        EXPECT_EQ(five.maxPage(), 5);
        EXPECT_FALSE(offered(five, "pagesRadioButton"));
        EXPECT_FALSE(offered(five, "pagesLineEdit"));
        five.close();
    }
}
