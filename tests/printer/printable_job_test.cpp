// The print-job judgement on a corpus made at test time with Debian's own tools: pictures,
// archives, programs, sound and video captures, PDFs and random bytes must all be refused, and
// the shipped samples, generated reports in every encoding and jobs written by Ghostscript's and
// netpbm's printer drivers must all be printed. Zero mistakes either way.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "printable_job.h"

namespace fs = std::filesystem;
using folvek::JobKind;
using namespace std::string_literals;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), {});
    if (s.size() > folvek::kJobSampleBytes) s.resize(folvek::kJobSampleBytes);
    return s;
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

folvek::PrintableVerdict judge(const std::string& s) {
    return folvek::judgePrintJob(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

bool have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command in `dir`; true when it succeeded and left `made` non-empty.
bool make(const fs::path& dir, const std::string& command, const std::string& made) {
    const std::string line = "cd '" + dir.string() + "' && (" + command + ") >/dev/null 2>&1";
    const int rc = std::system(line.c_str());
    std::error_code ec;
    return rc == 0 && fs::file_size(dir / made, ec) > 0 && !ec;
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

class Corpus : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("folvek-corpus-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Collects each file's verdict against what it must be.
    void expect(const std::string& name, bool printable) {
        const auto v = judge(readFile(dir_ / name));
        ++checked_;
        if (v.printable() != printable)
            ADD_FAILURE() << name << " judged " << v.what << ", but it must be "
                          << (printable ? "printed" : "refused");
    }

    fs::path dir_;
    int checked_ = 0;
};

TEST_F(Corpus, PicturesArchivesProgramsCapturesPdfsAndRandomBytesAreRefused) {
    ASSERT_TRUE(have("ppmtobmp")) << "netpbm is missing (tools/setup installs it)";
    // A 640 x 480 screenshot, as DOSBox-X leaves in its capture folder, in every format.
    ASSERT_TRUE(make(dir_, "ppmpat -g2 640 480 > shot.ppm", "shot.ppm"));
    const std::vector<std::pair<std::string, std::string>> pictures = {
        {"shot.bmp", "ppmtobmp shot.ppm > shot.bmp"},
        {"shot8.bmp", "ppmquant 256 shot.ppm | ppmtobmp -bpp 8 > shot8.bmp"},
        {"shot.pcx", "ppmquant 16 shot.ppm | ppmtopcx > shot.pcx"},
        {"shot.png", "pnmtopng shot.ppm > shot.png"},
        {"shot.gif", "ppmquant 256 shot.ppm | ppmtogif > shot.gif"},
        {"shot.jpg", "pnmtojpeg shot.ppm > shot.jpg"},
        {"shot.tif", "pnmtotiff shot.ppm > shot.tif"},
        {"mono.bmp", "ppmtopgm shot.ppm | pgmtopbm | ppmtobmp > mono.bmp"},
    };
    for (const auto& [name, command] : pictures) {
        ASSERT_TRUE(make(dir_, command, name)) << command;
        expect(name, false);
    }
    // Archives of a report: compressed text must not pass for Cyrillic text.
    ASSERT_TRUE(make(dir_,
                     "python3 '" FOLVEK_SOURCE_DIR
                     "/tools/make-report.py' --size 100K --encoding cp866 --out r.prn",
                     "r.prn"));
    std::vector<std::pair<std::string, std::string>> archives = {
        {"r.prn.gz", "gzip -k r.prn"},
        {"r.zip", "zip -q r.zip r.prn"},
        {"r.prn.bz2", "bzip2 -k r.prn"},
        {"r.prn.xz", "xz -k r.prn"},
        {"r.raw", "gzip -c r.prn | tail -c +11 > r.raw"},  // deflate data, no header
    };
    if (have("7z")) archives.push_back({"r.7z", "7z a r.7z r.prn"});
    for (const auto& [name, command] : archives) {
        ASSERT_TRUE(make(dir_, command, name)) << command;
        expect(name, false);
    }
    // Headers written by hand for the formats with no Debian tool here, then random contents.
    const std::string noise = randomBytes(8000, 7);
    std::string mz = "MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0\xB8\0\0\0\0\0\0\0\x40\0"s;
    mz.resize(64, '\0');
    const std::vector<std::pair<std::string, std::string>> headers = {
        {"prog.exe", mz + "\x0E\x1F\xBA\x0E\0\xB4\x09\xCD\x21\xB8\x01\x4C\xCD\x21" + noise},
        {"a.rar", "Rar!\x1A\x07\x00"s + noise},
        {"a.arj", "\x60\xEA\x2A\x00"s + noise},
        {"a.lzh", "\x2A\x5C-lh5-"s + noise},
        {"a.wav", "RIFF\x24\x10\0\0WAVEfmt "s + noise},
        {"opl.dro", "DBRAWOPL\x02\0\x00\0"s + noise},
        {"a.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"s + noise},
    };
    for (const auto& [name, bytes] : headers) {
        writeFile(dir_ / name, bytes);
        expect(name, false);
    }
    // Captures with no header: MPEG-TS packets, 16-bit PCM sound, a text screen's memory.
    std::string ts;
    for (int p = 0; p < 40; ++p) ts += "\x47\x01\x00\x10"s + randomBytes(184, p);
    writeFile(dir_ / "cap.ts", ts);
    expect("cap.ts", false);
    std::string pcm;
    for (int i = 0; i < 20000; ++i) {
        const auto v =
            static_cast<std::int16_t>(9000 * std::sin(i * 0.031) + 3000 * std::sin(i * 0.17));
        pcm += static_cast<char>(v & 0xFF);
        pcm += static_cast<char>((v >> 8) & 0xFF);
    }
    writeFile(dir_ / "sound.pcm", pcm);
    expect("sound.pcm", false);
    std::string screen;
    for (const char c : std::string("C:\\>dir   Volume in drive C has no label"))
        screen += std::string(1, c) + "\x07";
    screen.resize(4000, '\x07');
    writeFile(dir_ / "screen.bin", screen);
    expect("screen.bin", false);
    ASSERT_TRUE(make(dir_, "cp /bin/true prog.elf", "prog.elf"));
    expect("prog.elf", false);
    ASSERT_TRUE(make(dir_,
                     "gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=gs.pdf -c showpage",
                     "gs.pdf"));
    expect("gs.pdf", false);
    // Random bytes, NUL bytes and all: large ones from the kernel, short ones from fixed seeds
    // (a file of a few dozen bytes is judged on too little to be sure of every draw).
    for (const int size : {4096, 70000}) {
        const std::string name = "urandom" + std::to_string(size);
        ASSERT_TRUE(
            make(dir_, "head -c " + std::to_string(size) + " /dev/urandom > " + name, name));
        expect(name, false);
    }
    for (const int size : {64, 300})
        for (unsigned seed = 1; seed <= 20; ++seed) {
            const std::string name = "random" + std::to_string(size) + "-" + std::to_string(seed);
            writeFile(dir_ / name, randomBytes(size, seed));
            expect(name, false);
        }
    // Random bytes without a single NUL: the statistics, not the NUL test, refuse them.
    std::string noNul = randomBytes(5000, 11);
    for (char& c : noNul)
        if (c == 0) c = 'x';
    writeFile(dir_ / "nonul.bin", noNul);
    expect("nonul.bin", false);
    EXPECT_GE(checked_, 30);
}

TEST_F(Corpus, ReportsInEveryEncodingAndDriverJobsArePrinted) {
    for (const auto& e : fs::directory_iterator(FOLVEK_SOURCE_DIR "/samples")) {
        fs::copy_file(e.path(), dir_ / e.path().filename());
        expect(e.path().filename().string(), true);
    }
    const std::string report = "python3 '" FOLVEK_SOURCE_DIR "/tools/make-report.py' ";
    for (const char* size : {"2K", "300K"}) {
        const std::string s = size;
        ASSERT_TRUE(
            make(dir_, report + "--size " + s + " --encoding cp866 --out r866-" + s, "r866-" + s));
        ASSERT_TRUE(make(dir_, report + "--size " + s + " --encoding cp1251 --out r1251-" + s,
                         "r1251-" + s));
        ASSERT_TRUE(
            make(dir_, "iconv -f cp866 -t utf-8 r866-" + s + " > rutf8-" + s, "rutf8-" + s));
        ASSERT_TRUE(make(dir_, "iconv -f cp866 -t koi8-r r866-" + s + " > rkoi-" + s, "rkoi-" + s));
        ASSERT_TRUE(
            make(dir_, "iconv -f cp866 -t utf-16 r866-" + s + " > rutf16-" + s, "rutf16-" + s));
        for (const char* e : {"r866-", "r1251-", "rutf8-", "rkoi-", "rutf16-"}) expect(e + s, true);
    }
    // Condensed and wide print, pitch codes, overstrike, a DOS end mark and its padding.
    writeFile(dir_ / "codes.prn",
              "\x0F\x1B\x4D\xCE\xF2\xF7\xE5\xF2 \x12\x0E\xC8\xF2\xEE\xE3\x14\r\n"
              "=\b/ \x1B-\x01underline\x1B-\x00\r\n\x0C\x1A\x1A\x1A"s);
    expect("codes.prn", true);

    ASSERT_TRUE(have("gs")) << "Ghostscript is missing (tools/setup installs it)";
    const std::string page =
        "-c '/Courier findfont 14 scalefont setfont 72 700 moveto "
        "(Report 2024) show 72 600 200 80 rectfill showpage'";
    for (const char* device : {"epson", "eps9high", "eps9mid", "necp6", "ibmpro", "ljet4"}) {
        const std::string name = std::string("gs-") + device + ".prn";
        ASSERT_TRUE(make(dir_,
                         "gs -q -dNOPAUSE -dBATCH -r72 -sDEVICE=" + std::string(device) +
                             " -sOutputFile=" + name + " " + page,
                         name));
        expect(name, true);
    }
    ASSERT_TRUE(have("pbmtoepson")) << "netpbm is missing (tools/setup installs it)";
    ASSERT_TRUE(make(dir_, "ppmpat -g2 400 200 | ppmtopgm | pgmtopbm > logo.pbm", "logo.pbm"));
    for (const char* tool : {"pbmtoepson", "pbmtoescp2", "pbmtolj"}) {
        const std::string name = std::string(tool) + ".prn";
        ASSERT_TRUE(make(dir_, std::string(tool) + " logo.pbm > " + name, name));
        expect(name, true);
    }
    // A report that sends a logo in the middle of its text, ESC/P2 run-length compressed.
    ASSERT_TRUE(make(dir_, "pbmtoescp2 -compress 1 logo.pbm > logo.esc", "logo.esc"));
    writeFile(dir_ / "mixed.prn", "\xCE\xF2\xF7\xE5\xF2 N 5\r\n"s + readFile(dir_ / "logo.esc") +
                                      "\r\n\xC8\xF2\xEE\xE3\xEE\r\n\x0C");
    expect("mixed.prn", true);
}

TEST(PrintableJob, NamesWhatItRefusesAndTheLanguageItFinds) {
    EXPECT_EQ(judge("").kind, JobKind::Empty);
    EXPECT_EQ(judge("BM report of the month\r\n").kind, JobKind::Text);  // "BM" alone is no BMP
    EXPECT_EQ(judge("MZ-80 inventory\r\n").kind, JobKind::Text);
    EXPECT_EQ(judge("\x1B@\x1B"
                    "E bold\r\n")
                  .what,
              "an Epson ESC/P job");
    EXPECT_EQ(judge("\x1B"
                    "E\x1B&l66P text\r\n")
                  .what,
              "a PCL 5 job");
    EXPECT_EQ(judge("\x1B%-12345X@PJL ENTER LANGUAGE=PCL\r\n\x1B"
                    "E")
                  .what,
              "a PCL 5 job");
    // PCL XL is binary after its header: a job all the same.
    EXPECT_EQ(judge("\x1B%-12345X@PJL ENTER LANGUAGE=PCLXL\r\n) HP-PCL XL;2;0\n\xd1\x2c\x01"s).what,
              "a PCL XL job");
    EXPECT_EQ(judge("\x11\x1B"
                    "3\x18text\r\n")
                  .what,
              "an IBM Proprinter job");
    EXPECT_EQ(judge("GIF89a\x10\0\x10\0"s).what, "a GIF picture");
}

}  // namespace
