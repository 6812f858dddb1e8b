// The document object: each change runs its steps (the layout, the style scan, the settings
// file) and tells every listener exactly once with what it touched.
#include "document.h"

#include <gtest/gtest.h>

#include <fstream>

#include "layout_fakes.h"
#include "style_tags.h"
#include "test_support.h"

namespace folvek {
namespace {

struct Recorder : DocumentListener {
    void documentChanged(unsigned changes) override { seen.push_back(changes); }
    std::vector<unsigned> seen;
};

struct DocumentFixture : ::testing::Test {
    coretest::ScratchDir dir;
    test::MessageRecorder messages;
    test::FakePrinter printer;
    std::unique_ptr<Document> doc;
    Recorder listener;

    void SetUp() override {
        RecordContext ctx;
        ctx.messages = &messages;
        ctx.printer = &printer;
        ctx.programDir = dir.dir();
        doc = std::make_unique<Document>(ctx, "FOLVK95.INI");
        doc->record().IsNumPage = 0;
        doc->addListener(&listener);
    }
    // A text of `lines` lines, each "line".
    std::string text(int lines, const std::string& first = "line") {
        std::string t = first + "\n";
        for (int i = 1; i < lines; ++i) t += "line\n";
        return dir.file("report.txt", t);
    }
    DocumentRecord& p() { return doc->record(); }
};

TEST_F(DocumentFixture, LoadReadsLaysOutAndTellsOnce) {
    doc->load(text(200));
    EXPECT_EQ(p().lines.size(), 200u);
    EXPECT_GT(p().pageCount, 1);
    ASSERT_EQ(listener.seen.size(), 1u);
    EXPECT_EQ(listener.seen[0], unsigned(kTextChanged | kLayoutChanged | kPathChanged));

    // A second load replaces the text rather than adding to it; the file is the same one.
    doc->load(text(3));
    EXPECT_EQ(p().lines.size(), 3u);
    EXPECT_EQ(p().pageCount, 1);
    EXPECT_EQ(listener.seen.back(), unsigned(kTextChanged | kLayoutChanged));
}

// The caption and the file-name field follow kPathChanged alone: it comes exactly when another
// file is shown, also one that could not be read (the caption names what was asked for).
TEST_F(DocumentFixture, ThePathIsTheDocumentsAndChangesOnlyWithTheFileShown) {
    EXPECT_FALSE(doc->hasPath());
    const std::string a = text(3);
    const std::string b = dir.file("b.txt", "b\n");
    const std::string missing = dir.dir() + "missing.txt";
    auto pathChanges = [&] {
        int n = 0;
        for (unsigned c : listener.seen) n += (c & kPathChanged) != 0;
        return n;
    };
    doc->load(a);
    EXPECT_EQ(doc->path(), a);
    EXPECT_EQ(doc->fileName(), "report.txt");
    doc->reload();
    doc->goToPage(2);
    doc->settingsEdited(a);
    doc->openWithSettings(a, "FOLVK95.INI");
    EXPECT_EQ(pathChanges(), 1);
    doc->openWithSettings(b, "FOLVK95.INI");
    EXPECT_EQ(doc->path(), b);
    EXPECT_EQ(pathChanges(), 2);
    doc->load(missing);
    EXPECT_EQ(doc->path(), missing);
    EXPECT_EQ(pathChanges(), 3);
    EXPECT_TRUE(doc->savedAs(a));
    EXPECT_EQ(doc->path(), a);
    EXPECT_EQ(pathChanges(), 4);
    EXPECT_EQ(p().lines.size(), 3u);
}

// /d, /w and a print job's encoding go through the load options: they hold for every load
// until another settings file is read, and the user's IsDos is what they said.
TEST_F(DocumentFixture, LoadOptionsFixTheEncodingUntilAnotherSettingsFile) {
    // "\x8F\xE0\xA8\xA2\xA5\xE2" is "Привет" in code page 866.
    const std::string path = dir.file("dos.txt", "\x8F\xE0\xA8\xA2\xA5\xE2\n");
    LoadOptions options;
    options.dos = true;
    options.fitWidth = true;
    options.layout = LayoutMode::Report;
    doc->setLoadOptions(options);
    EXPECT_EQ(p().userIsDos(), 1);
    EXPECT_EQ(p().FitWidth, 1);
    EXPECT_EQ(p().layoutMode, LayoutMode::Report);
    doc->load(path);
    EXPECT_EQ(doc->encoding().encoding, TextEncoding::Cp866);
    EXPECT_FALSE(doc->encoding().detected);
    EXPECT_STREQ(p().lines.textAt(0), "\xCF\xF0\xE8\xE2\xE5\xF2");
    doc->reload();
    EXPECT_EQ(doc->encoding().encoding, TextEncoding::Cp866);

    // An explicit encoding wins over what `dos` fixed.
    LoadOptions koi;
    koi.encoding = EncodingChoice::Koi8r;
    doc->setLoadOptions(koi);
    doc->reload();
    EXPECT_EQ(doc->encoding().encoding, TextEncoding::Koi8r);

    // Another settings file: its own encoding (detection) from then on.
    dir.file("other.ini", "[Folvk]\nIsDos=NO\n");
    doc->openWithSettings(path, "other.ini");
    EXPECT_EQ(p().encodingInForce(), EncodingChoice::Auto);
}

// The history and the recent list record only documents that opened.
TEST_F(DocumentFixture, OnlyATextThatWasReadCountsAsOpened) {
    EXPECT_FALSE(p().opened);
    doc->load(text(3));
    EXPECT_TRUE(p().opened);
    doc->load(dir.dir() + "missing.txt");
    EXPECT_FALSE(p().opened);
    doc->openWithSettings(dir.path(), "FOLVK95.INI");  // a folder
    EXPECT_FALSE(p().opened);
    doc->reload(text(2));
    EXPECT_TRUE(p().opened);
}

TEST_F(DocumentFixture, FontChangeWritesTheSettingsAndRescansStyles) {
    doc->load(text(5));
    listener.seen.clear();
    const auto generation = p().layoutGeneration;
    p().logFont.weight = 700;  // a bold base font makes every line start bold
    doc->fontChanged();
    EXPECT_NE(p().layoutGeneration, generation);
    for (std::size_t i = 0; i < p().lines.size(); ++i) EXPECT_TRUE(p().lines.styleAt(i) & kBold);
    EXPECT_NE(dir.read("FOLVK95.INI").find("FontWeight=700"), std::string::npos);
    EXPECT_EQ(listener.seen, std::vector<unsigned>{kLayoutChanged});
}

TEST_F(DocumentFixture, SettingsFileLoadAppliesOrientationLayoutAndStyles) {
    dir.file("other.ini", "[Folvk]\nOrient=1\nZoom=7\nFontWeight=700\n");
    doc->load(text(5));
    listener.seen.clear();
    doc->settingsFileLoaded("other.ini");
    EXPECT_TRUE(printer.landscape());
    EXPECT_EQ(p().Zoom, 7);
    EXPECT_TRUE(p().lines.styleAt(0) & kBold);
    ASSERT_EQ(listener.seen.size(), 1u);
    EXPECT_TRUE(listener.seen[0] & kLayoutChanged);
    EXPECT_TRUE(listener.seen[0] & kZoomChanged);
    EXPECT_FALSE(listener.seen[0] & kTextChanged);
}

TEST_F(DocumentFixture, EditedSettingsReloadTheTextOnlyWhenAsked) {
    // "\x80" is CP866 "А": read again with IsDos it becomes CP1251 "\xC0".
    const std::string path = dir.file("dos.txt", "\x80\n");
    doc->load(path);
    p().IsDos = 1;
    doc->settingsEdited();
    EXPECT_STREQ(p().lines.textAt(0), "\x80");
    EXPECT_FALSE(listener.seen.back() & kTextChanged);
    doc->settingsEdited(path);
    EXPECT_STREQ(p().lines.textAt(0), "\xC0");
    EXPECT_TRUE(listener.seen.back() & kTextChanged);
}

TEST_F(DocumentFixture, OrientationZoomAndPagesEachTellTheirOwnChange) {
    doc->load(text(200));
    listener.seen.clear();
    const int portraitPages = p().pageCount;

    printer.widthMm = 510;  // landscape paper from the fake printer: twice as wide
    printer.heightMm = 255;
    doc->orientationChanged(1);
    EXPECT_EQ(p().Orient, 1);
    EXPECT_TRUE(printer.landscape());

    doc->zoomChanged(5);
    EXPECT_EQ(p().Zoom, 5);
    EXPECT_NE(dir.read("FOLVK95.INI").find("Zoom=5"), std::string::npos);

    doc->goToPage(1000);
    EXPECT_EQ(p().curPage, p().pageCount);
    doc->goToPage(-3);
    EXPECT_EQ(p().curPage, 1);
    EXPECT_EQ(listener.seen,
              (std::vector<unsigned>{kLayoutChanged, kZoomChanged, kPageChanged, kPageChanged}));
    EXPECT_GE(portraitPages, p().pageCount);
}

TEST_F(DocumentFixture, AListenerThatLeavesWhileToldIsNotToldAgain) {
    struct Leaving : DocumentListener {
        Document* doc = nullptr;
        int told = 0;
        void documentChanged(unsigned) override {
            ++told;
            doc->removeListener(this);
        }
    } leaving;
    leaving.doc = doc.get();
    doc->addListener(&leaving);
    doc->addListener(&leaving);  // a second add is ignored
    doc->paperChanged();
    doc->paperChanged();
    EXPECT_EQ(leaving.told, 1);
    EXPECT_EQ(listener.seen.size(), 2u);
}

}  // namespace
}  // namespace folvek
