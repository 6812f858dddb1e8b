// The PDF writer on its own: valid files whose text extracts exactly, fonts embedded as
// subsets, pages in order from several threads, pictures stored once, and the bad cases: huge
// pages, glyphs the font lacks, a full disk, a job given up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "file_replace.h"
#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

PdfPageGeometry a4() {
    PdfPageGeometry g;
    g.paperWidthMm = 210;
    g.paperHeightMm = 297;
    g.printableLeftMm = g.printableTopMm = 5;
    g.printableWidthMm = 200;
    g.printableHeightMm = 287;
    return g;
}

void setUp(DeviceContext& dc, const LogFont& font) {
    dc.setLoEnglish();
    dc.selectFont(font);
    dc.setTransparentText();
}

void requireTools() {
    if (!haveTool("pdftotext") || !haveTool("qpdf") || !haveTool("pdffonts"))
        GTEST_SKIP() << "poppler-utils and qpdf are needed (tools/setup installs them)";
}

TEST(PdfDocument, TextExtractsExactlyAndFontsAreEmbeddedSubsets) {
    requireTools();
    ScratchDir dir;
    const std::string file = dir.path("t.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    for (int page = 0; page < 2; ++page) {
        DeviceContext& dc = pdf.beginPage(a4());
        setUp(dc, courier());
        line(dc, cp1251("Ведомость (итог) \\ Ёлкин ") + std::to_string(page + 1), 0);
        dc.selectFont(courier(700));
        line(dc, cp1251("ИТОГО: 100"), 1);
        dc.selectPen(0);
        dc.moveTo(50, -100);
        dc.lineTo(500, -100);
        dc.lineTo(500, -200);
        ASSERT_TRUE(pdf.endPage());
    }
    ASSERT_TRUE(pdf.finish()) << pdf.error();

    EXPECT_EQ(run("qpdf --check '" + file + "'").status, 0);
    const Command text = run("pdftotext -layout '" + file + "' -");
    EXPECT_NE(text.out.find("Ведомость (итог) \\ Ёлкин 1"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Ведомость (итог) \\ Ёлкин 2"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("ИТОГО: 100"), std::string::npos) << text.out;
    const Command fonts = run("pdffonts '" + file + "'");
    EXPECT_NE(fonts.out.find("LiberationMono-Bold"), std::string::npos) << fonts.out;
    // Both faces: embedded, subset, with a ToUnicode map.
    EXPECT_EQ(count(fonts.out, "yes yes yes"), 2) << fonts.out;
    // A subset of a few dozen glyphs is a small fraction of the 300 KB face.
    EXPECT_LT(readFile(file).size(), 60000u);
    if (haveTool("gs")) {
        const Command gs = run("gs -q -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + file + "'");
        EXPECT_EQ(gs.status, 0);
        EXPECT_EQ(gs.out, "") << "Ghostscript warns";
    }
}

TEST(PdfDocument, PagesDrawnOnSeveralThreadsKeepTheirOrder) {
    requireTools();
    ScratchDir dir;
    const std::string file = dir.path("order.pdf");
    PdfDocumentOptions options;
    options.workers = 3;
    PdfDocument pdf(options);
    ASSERT_TRUE(pdf.open(file));
    const int pages = 120;
    for (int i = 1; i <= pages; ++i) {
        if (i % 10 == 0) {  // drawn here, between pages drawn by the workers
            DeviceContext& dc = pdf.beginPage(a4());
            setUp(dc, courier());
            line(dc, "sheet " + std::to_string(i), 0);
            ASSERT_TRUE(pdf.endPage());
            continue;
        }
        ASSERT_TRUE(pdf.addPage(a4(), [i](DeviceContext& dc) {
            setUp(dc, courier(i % 2 ? 700 : 400));
            for (int row = 0; row < 50; ++row) line(dc, "sheet " + std::to_string(i), row);
        }));
    }
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    EXPECT_EQ(pdf.pageCount(), pages);
    const Command text = run("pdftotext '" + file + "' -");
    size_t at = 0;
    for (int i = 1; i <= pages; ++i) {
        at = text.out.find("sheet " + std::to_string(i) + "\n", at);
        ASSERT_NE(at, std::string::npos) << "page " << i << " missing or out of order";
        at = text.out.find('\f', at);  // the next page starts after this form feed
        ASSERT_NE(at, std::string::npos);
    }
}

TEST(PdfDocument, APictureShownOnEveryPageIsStoredOnce) {
    ScratchDir dir;
    const std::string file = dir.path("pic.pdf");
    std::vector<std::uint32_t> logo(120 * 40, 0xFF2040C0u), other(30 * 30, 0x80FF0000u);
    const ImageView a{120, 40, logo.data()}, b{30, 30, other.data()};
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file));
    for (int page = 0; page < 3; ++page) {
        DeviceContext& dc = pdf.beginPage(a4());
        dc.setLoEnglish();
        dc.stretchImage(0, 0, 120, -40, 0, 0, 120, 40, a);
        std::vector<std::uint32_t> copy = logo;  // the same pixels elsewhere in memory
        dc.stretchImage(0, -100, 60, -20, 0, 0, 120, 40, ImageView{120, 40, copy.data()});
        if (page == 2) dc.stretchImage(0, -300, 30, -30, 0, 0, 30, 30, b);
        // Drawn at no width or no height: nothing to see, so not stored.
        std::vector<std::uint32_t> unseen(8 * 8, 0xFF00FF00u + std::uint32_t(page));
        dc.stretchImage(0, -400, 0, -30, 0, 0, 8, 8, ImageView{8, 8, unseen.data()});
        dc.stretchImage(0, -400, 30, 0, 0, 0, 8, 8, ImageView{8, 8, unseen.data()});
        ASSERT_TRUE(pdf.endPage());
    }
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string bytes = readFile(file);
    EXPECT_EQ(count(bytes, "/Subtype/Image/ColorSpace/DeviceRGB"), 2);
    EXPECT_EQ(count(bytes, "/SMask"), 1);  // only the half-transparent one has a mask
    if (haveTool("qpdf")) {
        EXPECT_EQ(run("qpdf --check '" + file + "'").status, 0);
    }
}

// Pages drawn side by side meet their pictures in any order: the file must not show it. The
// same pages, each with pictures of its own and one shared with the others, written again
// and again by several threads, give the same bytes as when written on one thread; each page
// names its pictures in the order it shows them.
TEST(PdfDocument, PagesWithPicturesGiveTheSameFileWhateverThreadDrawsThem) {
    ScratchDir dir;
    std::vector<std::uint32_t> shared(40 * 20, 0xFF101010u);
    const auto write = [&](int workers, const std::string& name) {
        PdfDocumentOptions options;
        options.workers = workers;
        PdfDocument pdf(options);
        EXPECT_TRUE(pdf.open(dir.path(name)));
        for (int page = 0; page < 40; ++page) {
            pdf.addPage(a4(), [&shared, page](DeviceContext& dc) {
                dc.setLoEnglish();
                std::vector<std::uint32_t> own(16 * 16, 0xFF000000u + std::uint32_t(page));
                std::vector<std::uint8_t> dots(2 * 9, static_cast<std::uint8_t>(page * 7));
                dc.stretchImage(0, -50, 16, -16, 0, 0, 16, 16, ImageView{16, 16, own.data()});
                dc.drawBitmap(0, -90, 16, -9, BitmapView{16, 9, 2, dots.data()});
                dc.stretchImage(0, 0, 40, -20, 0, 0, 40, 20, ImageView{40, 20, shared.data()});
            });
        }
        EXPECT_TRUE(pdf.finish()) << pdf.error();
        return readFile(dir.path(name));
    };
    const std::string alone = write(0, "alone.pdf");
    EXPECT_EQ(count(alone, "/Subtype/Image/ColorSpace/DeviceRGB"), 41);
    EXPECT_EQ(count(alone, "/XObject<</Im1 "), 40);  // each page names its own three
    EXPECT_EQ(count(alone, "/Im3 "), 40);
    for (int round = 0; round < 4; ++round)
        EXPECT_TRUE(write(3, "side-by-side.pdf") == alone) << "round " << round;
    if (haveTool("qpdf")) {
        EXPECT_EQ(run("qpdf --check '" + dir.path("alone.pdf") + "'").status, 0);
    }
}

TEST(PdfDocument, HugePagesAndGlyphsTheFontLacks) {
    requireTools();
    ScratchDir dir;
    const std::string file = dir.path("big.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file));
    DeviceContext& dc = pdf.beginPage(a4());
    setUp(dc, courier());
    // Ten thousand runs on one page: 125 rows of 80 one-letter runs that meet as words.
    const double advance = 7.8;  // Liberation Mono at 13 units
    for (int i = 0; i < 10000; ++i) {
        const char c = char('a' + (i / 80) % 26);
        Rect r{int(50 + (i % 80) * advance), -100 - (i / 80) * 20, 0, 0};
        dc.drawText(&c, 1, r, 0);
    }
    const std::string longLine(100000, 'x');
    line(dc, longLine, 0);
    // 0x98 is no character in Windows-1251 (U+FFFD), which the face has no glyph for.
    line(dc, std::string("a\x98z"), 5);
    ASSERT_TRUE(pdf.endPage());
    // A picture of a few million pixels.
    std::vector<std::uint32_t> big(2000 * 1500, 0xFF808080u);
    pdf.beginPage(a4()).stretchImage(0, 0, 2000, -1500, 0, 0, 2000, 1500,
                                     ImageView{2000, 1500, big.data()});
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();

    EXPECT_EQ(run("qpdf --check '" + file + "'").status, 0);
    const Command text = run("pdftotext -f 1 -l 1 '" + file + "' -");
    EXPECT_NE(text.out.find(std::string(80, 'a')), std::string::npos) << text.out.substr(0, 400);
    EXPECT_NE(text.out.find(std::string(80, 'z')), std::string::npos);
    // The long line runs far off the sheet, as one string.
    const Command content = run("qpdf --qdf --object-streams=disable '" + file + "' -");
    EXPECT_NE(content.out.find("(" + longLine + ")Tj"), std::string::npos);
    EXPECT_NE(text.out.find("a\xEF\xBF\xBDz"), std::string::npos) << "U+FFFD extracts as itself";
}

// A face that has no bold style of its own is printed bold by filling and stroking its outlines
// (render mode 2); the regular text after it is filled only again (mode 0).
TEST(PdfDocument, BoldInAFaceWithoutABoldStyleIsStrokedAndRegularTextIsNot) {
    requireTools();
    std::string family;
    for (const char* candidate : {"DejaVu Math TeX Gyre", "D050000L"}) {
        const std::string name = std::string("'") + candidate;
        if (!run("fc-list " + name + "'").out.empty() &&
            run("fc-list " + name + ":weight=200'").out.empty() &&
            run("fc-list " + name + ":weight=210'").out.empty())
            family = candidate;
    }
    if (family.empty())
        GTEST_SKIP() << "no installed face without a bold style (fonts-dejavu-extra)";
    ScratchDir dir;
    const std::string file = dir.path("bold.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage(a4());
    LogFont regular = courier(), bold = courier(700);
    regular.setFaceName(family.c_str());
    bold.setFaceName(family.c_str());
    setUp(dc, regular);
    line(dc, "plain", 0);
    dc.selectFont(bold);
    line(dc, "heavy", 1);
    line(dc, "heavier", 2);
    dc.selectFont(regular);
    line(dc, "plain again", 3);
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string content = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    const auto stroked = content.find(" w 2 Tr\n");
    ASSERT_NE(stroked, std::string::npos);
    EXPECT_EQ(content.find(" Tr\n"), stroked + 4) << "the plain text before it needs no mode";
    const auto filled = content.find("0 Tr\n", stroked);
    ASSERT_NE(filled, std::string::npos);
    EXPECT_EQ(content.find(" Tr\n", stroked + 8), filled + 1) << "one mode for both bold lines";
    EXPECT_EQ(content.find(" Tr\n", filled + 4), std::string::npos);
}

// The map from a subset's codes back to Unicode comes in blocks of at most 100 codes: 100 codes
// are one block, 101 two, and every code is in one.
TEST(PdfDocument, TheUnicodeMapHoldsEveryCodeInBlocksOfAHundred) {
    requireTools();
    for (int codes : {99, 100, 101, 200}) {
        ScratchDir dir;
        const std::string file = dir.path("map.pdf");
        PdfDocument pdf;
        ASSERT_TRUE(pdf.open(file)) << pdf.error();
        DeviceContext& dc = pdf.beginPage(a4());
        setUp(dc, courier());
        // Printable codes from '!' on, skipping the one 1251 leaves empty (0x98).
        std::string text;
        for (int c = 0x21; int(text.size()) < codes; ++c)
            if (c != 0x98 && c != 0x7F) text += char(c);
        for (std::size_t at = 0; at < text.size(); at += 50)
            line(dc, text.substr(at, 50), int(at / 50));
        ASSERT_TRUE(pdf.endPage());
        ASSERT_TRUE(pdf.finish()) << pdf.error();
        const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
        int blocks = 0, mapped = 0;
        for (std::size_t at = out.find(" beginbfchar\n"); at != std::string::npos;
             at = out.find(" beginbfchar\n", at + 1)) {
            ++blocks;
            mapped += std::atoi(out.c_str() + out.rfind('\n', at) + 1);
        }
        EXPECT_EQ(blocks, (codes + 99) / 100) << codes;
        EXPECT_EQ(mapped, codes) << codes;
    }
}

// A disk that fills up after `budget` bytes.
struct FullDisk {
    explicit FullDisk(long budget) {
        left() = budget;
        fileSystemCalls().write = [](int fd, const void* data, std::size_t n) -> ssize_t {
            if (left() <= 0) {
                errno = ENOSPC;
                return -1;
            }
            const std::size_t k = std::min<std::size_t>(n, std::size_t(left()));
            left() -= long(k);
            return ::write(fd, data, k);
        };
    }
    ~FullDisk() { fileSystemCalls() = defaultFileSystemCalls(); }
    static long& left() {
        static long bytes = 0;
        return bytes;
    }
};

void fillPages(PdfDocument& pdf, int pages) {
    for (int p = 0; p < pages; ++p)
        pdf.addPage(a4(), [](DeviceContext& dc) {
            setUp(dc, courier());
            for (int row = 0; row < 60; ++row)
                line(dc, "row " + std::to_string(row) + " of a page that fills the disk", row);
        });
}

TEST(PdfDocument, AFullDiskLeavesTheOldFileAsItWasAndNoPartialFile) {
    ScratchDir dir;
    const std::string file = dir.path("out.pdf");
    { std::ofstream(file) << "the old output"; }
    for (long budget : {0L, 3000L, 100000L}) {
        FullDisk disk(budget);
        PdfDocument pdf;
        ASSERT_TRUE(pdf.open(file));
        fillPages(pdf, 400);
        EXPECT_FALSE(pdf.finish()) << "budget " << budget;
        EXPECT_NE(pdf.error().find("Нет места на диске"), std::string::npos) << pdf.error();
        EXPECT_EQ(readFile(file), "the old output");
        EXPECT_EQ(dir.files(), 1) << "the partial file is removed";
    }
}

// A PDF that has a second name (a hard link, as a shared "latest report" often is) is written
// in place: both names show the new document, and it keeps its mode.
TEST(PdfDocument, AFileWithTwoNamesIsWrittenInPlace) {
    ScratchDir dir;
    const std::string file = dir.path("out.pdf"), other = dir.path("latest.pdf");
    { std::ofstream(file) << "the old output"; }
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file));
    fillPages(pdf, 2);
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string bytes = readFile(file);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(readFile(other), bytes);
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.files(), 2) << "no temporary left";
}

// A rename the system refuses once, with a given error.
struct RefusedRename {
    explicit RefusedRename(int error) {
        code() = error;
        fileSystemCalls().rename = [](const char* from, const char* to) {
            if (code() != 0) {
                errno = std::exchange(code(), 0);
                return -1;
            }
            return defaultFileSystemCalls().rename(from, to);
        };
    }
    ~RefusedRename() { fileSystemCalls() = defaultFileSystemCalls(); }
    static int& code() {
        static int error = 0;
        return error;
    }
};

// Where the folder's rules forbid the rename (EACCES, EPERM) the finished PDF is copied into
// the old file's place by the careful save instead; any other refusal fails and leaves the old
// file, and a PDF that is new is never written in place.
TEST(PdfDocument, ARefusedRenameFallsBackToWritingInPlaceOnlyWhenNotAllowed) {
    for (int error : {EACCES, EPERM, EIO, EXDEV}) {
        ScratchDir dir;
        const std::string file = dir.path("out.pdf");
        { std::ofstream(file) << "the old output"; }
        RefusedRename refused(error);
        PdfDocument pdf;
        ASSERT_TRUE(pdf.open(file));
        fillPages(pdf, 2);
        const bool allowed = error == EACCES || error == EPERM;
        EXPECT_EQ(pdf.finish(), allowed) << error << ": " << pdf.error();
        if (allowed)
            EXPECT_EQ(readFile(file).rfind("%PDF-", 0), 0u) << error;
        else
            EXPECT_EQ(readFile(file), "the old output") << error;
        EXPECT_EQ(dir.files(), 1) << error << ": no temporary left";
    }
    ScratchDir dir;
    RefusedRename refused(EACCES);
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(dir.path("new.pdf")));
    fillPages(pdf, 1);
    EXPECT_FALSE(pdf.finish());
    EXPECT_FALSE(pdf.error().empty());
    EXPECT_EQ(dir.files(), 0);
}

// A disk that takes every write and reports its error only when the data is synced, as a
// network share or a failing stick does: the PDF is not put in place.
TEST(PdfDocument, AnErrorOnlyTheSyncReportsLeavesTheOldFile) {
    ScratchDir dir;
    const std::string file = dir.path("out.pdf");
    { std::ofstream(file) << "the old output"; }
    struct FailingSync {
        FailingSync() {
            fileSystemCalls().sync = [](int) {
                errno = EIO;
                return -1;
            };
        }
        ~FailingSync() { fileSystemCalls() = defaultFileSystemCalls(); }
    } failing;
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file));
    fillPages(pdf, 3);
    EXPECT_FALSE(pdf.finish());
    EXPECT_FALSE(pdf.error().empty());
    EXPECT_EQ(readFile(file), "the old output");
    EXPECT_EQ(dir.files(), 1) << "the unsynced file is removed";
}

// A page whose drawing throws on a worker fails the whole document: no PDF with a blank page.
TEST(PdfDocument, APageThatCannotBeMadeFailsTheDocument) {
    ScratchDir dir;
    const std::string file = dir.path("broken.pdf");
    { std::ofstream(file) << "the old output"; }
    for (int workers : {0, 2}) {
        PdfDocumentOptions options;
        options.workers = workers;
        PdfDocument pdf(options);
        ASSERT_TRUE(pdf.open(file));
        fillPages(pdf, 3);
        pdf.addPage(a4(), [](DeviceContext&) { throw std::runtime_error("out of room"); });
        fillPages(pdf, 3);
        EXPECT_FALSE(pdf.finish()) << "workers " << workers;
        EXPECT_NE(pdf.error().find("out of room"), std::string::npos) << pdf.error();
        EXPECT_EQ(readFile(file), "the old output");
        EXPECT_EQ(dir.files(), 1);
    }
}

// The lowest and highest rows with ink in rows [from, to) of a gray PGM page.
std::pair<int, int> inkRows(const std::string& pgm, int from, int to) {
    std::istringstream in(pgm);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    in >> magic >> w >> h >> maxval;
    in.get();
    const std::size_t start = std::size_t(in.tellg());
    int top = -1, bottom = -1;
    for (int y = from; y < std::min(to, h); ++y)
        for (int x = 0; x < w; ++x)
            if (static_cast<unsigned char>(pgm[start + std::size_t(y) * w + x]) < 128) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
    return {top, bottom};
}

TEST(PdfDocument, AnUnderlineRunsBelowTheLetters) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is needed (tools/setup)";
    ScratchDir dir;
    const std::string file = dir.path("u.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file));
    DeviceContext& dc = pdf.beginPage(a4());
    LogFont big = courier();
    big.height = -100;  // an inch: the underline's offset is several pixels at 72 dpi
    setUp(dc, big);
    const std::string text = "HHHH";
    dc.drawText(text.data(), int(text.size()), Rect{50, -50, 1000, -200}, 0);
    big.underline = 1;
    dc.selectFont(big);
    dc.drawText(text.data(), int(text.size()), Rect{50, -300, 1000, -450}, 0);
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    ASSERT_EQ(run("pdftoppm -r 72 -gray -singlefile '" + file + "' '" + dir.path("u") + "'").status,
              0);
    const std::string pgm = readFile(dir.path("u.pgm"));
    const auto plain = inkRows(pgm, 0, 200), underlined = inkRows(pgm, 200, 400);
    ASSERT_GE(plain.first, 0);
    ASSERT_GE(underlined.first, 0);
    // Same letters, same tops; the underlined ones reach lower by the line's offset and width.
    EXPECT_NEAR(underlined.first - 180, plain.first, 1);
    EXPECT_GE((underlined.second - underlined.first) - (plain.second - plain.first), 6);
}

TEST(PdfDocument, AGivenUpDocumentLeavesNothing) {
    ScratchDir dir;
    const std::string file = dir.path("gone.pdf");
    {
        PdfDocument pdf;
        ASSERT_TRUE(pdf.open(file));
        fillPages(pdf, 30);
        pdf.abort();
    }
    {
        PdfDocument pdf;  // destroyed unfinished
        ASSERT_TRUE(pdf.open(file));
        fillPages(pdf, 30);
    }
    EXPECT_EQ(dir.files(), 0);
    PdfDocument pdf;
    EXPECT_FALSE(pdf.open(dir.path("no-such-dir/x.pdf")));
    EXPECT_NE(pdf.error().find("Нет такого файла"), std::string::npos) << pdf.error();
}

}  // namespace
}  // namespace folvek
