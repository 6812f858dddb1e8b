// Documents and pictures that change or misbehave under the viewer: a document deleted or
// replaced while shown, one that is a directory, a FIFO or fails to read, a 2 GB file, and a
// bitmap too large to decode. Each is reported (or loads), and pages still draw.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "document/test_support.h"
#include "page_renderer.h"
#include "render/recording_device.h"
#include "string_table.h"

namespace folvek::test {
namespace {

using coretest::ScratchDir;

long residentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

class DocumentFault : public ::testing::Test {
  protected:
    // What the viewer does on reload: free, load, paginate, draw the current page.
    int reload(const std::string& path) {
        tp.messages.shown.clear();
        tp->freeText();
        const int ok = tp->loadText(path);
        tp->paginate();
        RecordingDevice dc;
        EXPECT_EQ(drawPage(*tp, dc, 0, false), 1);
        drawn = dc.allText();
        return ok;
    }
    void expectCannotOpen() {
        ASSERT_EQ(tp.messages.shown.size(), 1u);
        // The fixed text comes first; the path and the reason follow on the next line.
        EXPECT_EQ(tp.messages.shown[0].text.substr(0, tp.messages.shown[0].text.find('\n')),
                  loadString(StrCannotOpenFile));
    }
    ScratchDir dir;
    TestRecord tp;
    std::string drawn;
};

TEST_F(DocumentFault, DeletedOrReplacedWhileShown) {
    const std::string path = dir.file("r.txt", "first version\n");
    ASSERT_EQ(reload(path), 1);
    EXPECT_EQ(drawn, "first version");

    std::remove(path.c_str());
    EXPECT_EQ(reload(path), 0);
    expectCannotOpen();
    EXPECT_EQ(tp->pageCount, 1);
    EXPECT_EQ(drawn, "");

    // Replaced by rename, as editors and report generators do; then cut to nothing.
    const std::string next = dir.file("r.new", "second\nversion\n");
    ASSERT_EQ(std::rename(next.c_str(), path.c_str()), 0);
    EXPECT_EQ(reload(path), 1);
    EXPECT_EQ(drawn, "secondversion");
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    EXPECT_EQ(reload(path), 1);
    EXPECT_TRUE(tp.messages.shown.empty());
    EXPECT_EQ(tp->lines.size(), 0u);

    // A load that fails leaves what is loaded as it was.
    dir.file("r.txt", "kept\n");
    ASSERT_EQ(reload(path), 1);
    tp.messages.shown.clear();
    EXPECT_EQ(tp->loadText(dir.dir() + "missing"), 0);
    expectCannotOpen();
    ASSERT_EQ(tp->lines.size(), 1u);
    EXPECT_STREQ(tp->lines.textAt(0), "kept");
}

TEST_F(DocumentFault, NotARegularFileOrFailingToRead) {
    const std::string fifo = dir.dir() + "pipe.prn";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {dir.path(), fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(reload(path), 0) << path;
        expectCannotOpen();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));  // no hang

    // A regular file whose reading fails (EIO at the first byte): opened, so it loads what it
    // read, which is nothing, and the user hears that the file could not be read.
    struct stat st {};
    ASSERT_EQ(::stat("/proc/self/mem", &st), 0);
    if (S_ISREG(st.st_mode)) {
        EXPECT_EQ(reload("/proc/self/mem"), 1);
        expectCannotOpen();
        EXPECT_EQ(tp->lines.size(), 0u);
    }
}

// 2 GB of holes (NUL bytes): every 1023-byte piece is cut at its first NUL and becomes an empty
// line. The store holds pointers, styles and terminators only, far below the file's size.
TEST_F(DocumentFault, TwoGigabyteSparseFile) {
    const std::string path = dir.dir() + "big.prn";
    const off_t size = off_t{2} << 30;
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "head\n", 5), 5);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }
    const long before = residentKb();
    ASSERT_EQ(tp->loadText(path), 1);
    EXPECT_TRUE(tp.messages.shown.empty());
    const std::size_t expectedLines = 1 + (static_cast<std::size_t>(size) - 5 + 1022) / 1023;
    EXPECT_EQ(tp->lines.size(), expectedLines);
    EXPECT_STREQ(tp->lines.textAt(0), "head");
    EXPECT_LT(tp->lines.memoryUsed(), 64u << 20);
    EXPECT_LT(residentKb() - before, 400L << 10);  // KiB: generous for the sanitizer build
    tp->paginate();
    EXPECT_GT(tp->pageCount, 1);
    RecordingDevice dc;
    EXPECT_EQ(drawPage(*tp, dc, tp->pageCount, true), 1);
}

// 30000 x 30000 pixels would decode to 3.6 GB; the file holds 4 x 4: refused from the header as
// a broken file, before any allocation.
TEST_F(DocumentFault, HugeBitmapIsRefusedBeforeAllocating) {
    const std::string path = dir.dir() + "huge.bmp";
    writeTestBitmap(path, 4, 4);
    {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        const unsigned char side[4] = {0x30, 0x75, 0, 0};  // 30000
        f.seekp(18), f.write(reinterpret_cast<const char*>(side), 4);
        f.seekp(22), f.write(reinterpret_cast<const char*>(side), 4);
    }
    const long before = residentKb();
    BmpOut bmp;
    EXPECT_EQ(bmp.loadFile(path, &tp.messages), 0);
    ASSERT_EQ(tp.messages.shown.size(), 1u);
    // The fixed first line; the path and the reason follow.
    EXPECT_EQ(tp.messages.shown[0].text.rfind(loadString(StrPictureOpenError) + "\n" + path, 0),
              0u);
    EXPECT_EQ(bmp.loaded, 0);
    EXPECT_LT(residentKb() - before, 16L << 10);

    // As the page's top picture: reported once, and the page is laid out without it.
    tp.messages.shown.clear();
    tp->TopFile = path;
    tp->IsTopPicture = 1;
    tp->paginate();
    ASSERT_EQ(tp.messages.shown.size(), 1u);
    EXPECT_EQ(tp.messages.shown[0].text.rfind(loadString(StrPictureOpenError), 0), 0u);
    EXPECT_EQ(tp->topPicture.height, 0);
    RecordingDevice dc;
    EXPECT_EQ(drawPage(*tp, dc, 1, false), 1);
    EXPECT_TRUE(dc.images.empty());
}

}  // namespace
}  // namespace folvek::test
