// A document whose loads are progressive (the viewer's): opening with settings, a reload and a
// settings edit that reads the text again show a big file's head first and end as the whole
// read makes them; a reload keeps its page even when it lies beyond the head.
#include <gtest/gtest.h>

#include "document.h"
#include "layout_fakes.h"
#include "test_support.h"

namespace folvek {
namespace {

// A report of some `pages` pages of 22 short lines in code page 866.
std::string report(int pages) {
    std::string s;
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) s += "\f";
        s += "\xC9\xCD\xCD\xD1\xCD\xBB \x91\xE2\xE0. " + std::to_string(p) + "\r\n";
        for (int i = 0; i < 20; ++i) s += "\xBA\xAD\xE0 \xB3 12 \xBA \x8F\xE0\xA8\xA2\xA5\xE2\r\n";
        s += "\xC8\xCD\xCD\xCF\xCD\xBC\r\n";
    }
    return s;
}

struct Changes : DocumentListener {
    void documentChanged(unsigned changes) override { seen.push_back(changes); }
    std::vector<unsigned> seen;
};

class ProgressiveReloadTest : public ::testing::Test {
  protected:
    std::unique_ptr<Document> makeDocument(bool progressive) {
        RecordContext ctx;
        ctx.messages = &messages;
        ctx.printer = &printer;
        ctx.programDir = dir.dir();
        auto d = std::make_unique<Document>(ctx, "FOLVK95.INI");
        d->record().progressiveFrom = 0;
        d->setProgressive(progressive);
        return d;
    }

    static std::vector<std::string> lines(const Document& d) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < d.record().lines.size(); ++i)
            out.emplace_back(d.record().lines.textAt(i));
        return out;
    }

    static void expectSame(const Document& whole, const Document& shown) {
        EXPECT_EQ(lines(whole), lines(shown));
        EXPECT_EQ(whole.record().pageCount, shown.record().pageCount);
        EXPECT_EQ(whole.record().maxLineLength, shown.record().maxLineLength);
        EXPECT_EQ(whole.record().textEncoding, shown.record().textEncoding);
        EXPECT_EQ(whole.record().opened, shown.record().opened);
    }

    coretest::ScratchDir dir;
    test::MessageRecorder messages;
    test::FakePrinter printer;
};

TEST_F(ProgressiveReloadTest, EveryReadOfTheTextEndsAsTheWholeRead) {
    const std::string path = dir.file("big.prn", report(2000));
    auto whole = makeDocument(false);
    auto shown = makeDocument(true);
    ASSERT_TRUE(whole->openWithSettings(path, "FOLVK95.INI"));
    EXPECT_FALSE(whole->loading());  // printing's loads stay whole
    ASSERT_TRUE(shown->openWithSettings(path, "FOLVK95.INI"));
    ASSERT_TRUE(shown->loading());
    EXPECT_LT(shown->record().pageCount, whole->record().pageCount);
    shown->finishLoading();
    expectSame(*whole, *shown);

    whole->reload();
    shown->reload();
    EXPECT_TRUE(shown->loading());
    shown->finishLoading();
    expectSame(*whole, *shown);

    whole->settingsEdited(path);
    shown->settingsEdited(path);
    EXPECT_TRUE(shown->loading());
    shown->finishLoading();
    expectSame(*whole, *shown);

    // A file that cannot be read fails the same way.
    EXPECT_FALSE(shown->openWithSettings(dir.dir(), "FOLVK95.INI"));
    EXPECT_FALSE(shown->loading());
    EXPECT_FALSE(shown->record().opened);
}

TEST_F(ProgressiveReloadTest, AReloadKeepsAPageBeyondTheHeadForWhenTheCountIsKnown) {
    const std::string path = dir.file("big.prn", report(3000));
    auto doc = makeDocument(true);
    Changes changes;
    doc->addListener(&changes);
    doc->load(path);
    doc->finishLoading();
    ASSERT_EQ(doc->record().pageCount, 3000);
    doc->goToPage(2500);

    doc->reload();
    ASSERT_TRUE(doc->loading());
    const std::int32_t head = doc->record().pageCount;
    ASSERT_LT(head, 2500);
    // Meanwhile the last page of the head that is whole.
    EXPECT_EQ(doc->record().curPage, head - 1);
    changes.seen.clear();
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 2500);
    ASSERT_EQ(changes.seen.size(), 1u);
    EXPECT_EQ(changes.seen[0],
              unsigned(kTextChanged | kLayoutChanged | kPageChanged | kLoadCompleted));

    // Reloaded again before the count is known: the page still waits.
    doc->reload();
    doc->reload();
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 2500);

    // The user turned a page meanwhile: that page stays.
    doc->reload();
    ASSERT_TRUE(doc->loading());
    doc->goToPage(3);
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 3);

    // A page within the head is shown at once; the file shrank: the page is clamped.
    doc->goToPage(2);
    doc->reload();
    EXPECT_EQ(doc->record().curPage, 2);
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 2);
    // Reloaded again with no page waiting: the page shown stays.
    doc->reload();
    EXPECT_EQ(doc->record().curPage, 2);
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 2);
    doc->goToPage(2500);
    dir.file("big.prn", report(1500));
    doc->reload();
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 1500);

    // Another file opened while a reload's page waits: it starts at its own first page.
    doc->goToPage(1400);
    doc->reload();
    ASSERT_TRUE(doc->loading());
    doc->load(dir.file("other.prn", report(1200)));
    doc->finishLoading();
    EXPECT_EQ(doc->record().curPage, 1);
    doc->removeListener(&changes);
}

}  // namespace
}  // namespace folvek
