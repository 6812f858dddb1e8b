// The page dialog of "Сохранить в PDF...": which pages it proposes and what its answer gives.
// Its modal loop is replaced by a function that reads and sets its fields.
#include <gtest/gtest.h>

#include <QDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>

#include "dialog_hooks.h"
#include "pdf_export_command.h"

using namespace folvek;

namespace {

struct Shown {
    bool asked = false;
    int from = 0, to = 0, min = 0, max = 0;
    bool rangeVisible = false;
};

// Runs the dialog; `fill` may set the fields before OK.
std::optional<PdfPages> ask(int pageCount, int currentPage, const QString& note, Shown& shown,
                            const std::function<void(QDialog&)>& fill = {},
                            int answer = QDialog::Accepted) {
    dialogHooks().runModal = [&](QDialog& d) {
        shown.asked = true;
        auto* from = d.findChild<QSpinBox*>(QStringLiteral("FromPage"));
        auto* to = d.findChild<QSpinBox*>(QStringLiteral("ToPage"));
        shown.from = from->value();
        shown.to = to->value();
        shown.min = from->minimum();
        shown.max = from->maximum();
        shown.rangeVisible = !from->isHidden();
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("AllPages"))->isChecked());
        if (fill) fill(d);
        return answer;
    };
    auto pages = askPdfPages(nullptr, pageCount, currentPage, note);
    resetDialogHooks();
    return pages;
}

void setRange(QDialog& d, int from, int to) {
    d.findChild<QSpinBox*>(QStringLiteral("FromPage"))->setValue(from);
    d.findChild<QSpinBox*>(QStringLiteral("ToPage"))->setValue(to);
}

}  // namespace

// The range fields start at the page shown, kept within the document, and run to its end;
// OK without a change is every page.
TEST(PdfPagesDialog, ProposesThePageShownToTheEndAndAllPagesByDefault) {
    struct Case {
        int pages, current, from;
    };
    for (const Case c :
         {Case{5, 3, 3}, Case{5, 1, 1}, Case{5, 0, 1}, Case{5, 9, 5}, Case{2, 2, 2}}) {
        Shown shown;
        const auto pages = ask(c.pages, c.current, QString(), shown);
        ASSERT_TRUE(shown.asked);
        EXPECT_EQ(shown.from, c.from) << c.pages << " " << c.current;
        EXPECT_EQ(shown.to, c.pages);
        EXPECT_EQ(shown.min, 1);
        EXPECT_EQ(shown.max, c.pages);
        EXPECT_TRUE(shown.rangeVisible);
        ASSERT_TRUE(pages);
        EXPECT_EQ(pages->from, 1);
        EXPECT_EQ(pages->to, c.pages);
    }
}

// A typed range is taken in either order, its ends included; Cancel is no answer.
TEST(PdfPagesDialog, ATypedRangeInEitherOrderAndCancel) {
    Shown shown;
    auto pages = ask(5, 1, QString(), shown, [](QDialog& d) { setRange(d, 4, 2); });
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->from, 2);
    EXPECT_EQ(pages->to, 4);
    pages = ask(5, 1, QString(), shown, [](QDialog& d) { setRange(d, 1, 5); });
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->from, 1);
    EXPECT_EQ(pages->to, 5);
    pages = ask(5, 1, QString(), shown, [](QDialog& d) { setRange(d, 5, 5); });
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->from, 5);
    EXPECT_EQ(pages->to, 5);
    EXPECT_FALSE(ask(5, 1, QString(), shown, {}, QDialog::Rejected));
}

// One page asks nothing, unless there is a note to show: then the dialog has no range fields.
// A document of no pages is taken as one.
TEST(PdfPagesDialog, OnePageAsksOnlyToShowANote) {
    for (int count : {1, 0}) {
        Shown shown;
        auto pages = ask(count, 1, QString(), shown);
        EXPECT_FALSE(shown.asked) << count;
        ASSERT_TRUE(pages);
        EXPECT_EQ(pages->from, 1);
        EXPECT_EQ(pages->to, 1);
        pages = ask(count, 1, QStringLiteral("Строки шире листа"), shown);
        EXPECT_TRUE(shown.asked) << count;
        EXPECT_FALSE(shown.rangeVisible);
        ASSERT_TRUE(pages);
        EXPECT_EQ(pages->from, 1);
        EXPECT_EQ(pages->to, 1);
    }
}
