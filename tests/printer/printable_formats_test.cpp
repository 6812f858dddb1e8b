// The judgement of a print job, case by case against the formats' own headers: every magic
// number that names a non-job format, the header fields checked next to the short ones and
// their limits, the printer languages' opening bytes, the stepping over of each Epson command
// with its exact parameters and data, and the two statistics' thresholds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printable_job.h"

using folvek::JobKind;
using namespace std::string_literals;

namespace {

const char* formatOf(const std::string& s) {
    return folvek::nonJobFormat(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

std::string nameOf(const std::string& s) {
    const char* kind = formatOf(s);
    return kind ? kind : "";
}

const char* languageOf(const std::string& s) {
    return folvek::printerLanguageSignature(reinterpret_cast<const unsigned char*>(s.data()),
                                            s.size());
}

folvek::PrintableVerdict judge(const std::string& s) {
    return folvek::judgePrintJob(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

// Text that no check mistakes for anything: what follows a header in these cases.
const std::string kFill(200, 'x');

struct Case {
    const char* name;
    std::string bytes;
    const char* kind;  // "" when the bytes name no format
};

void expectFormats(const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(nameOf(c.bytes), c.kind) << c.name;
}

}  // namespace

TEST(JobFormats, EveryMagicNumberNamesItsFormat) {
    expectFormats({
        {"png", "\x89PNG\r\n\x1A\n"s + kFill, "a PNG picture"},
        {"gif87", "GIF87a" + kFill, "a GIF picture"},
        {"gif89", "GIF89a" + kFill, "a GIF picture"},
        {"jpeg", "\xFF\xD8\xFF\xE0"s + kFill, "a JPEG picture"},
        {"tiff little-endian", "II*\0"s + kFill, "a TIFF picture"},
        {"tiff big-endian", "MM\0*"s + kFill, "a TIFF picture"},
        {"elf", "\x7F"s + "ELF" + kFill, "a program (ELF)"},
        {"zip", "PK\x03\x04"s + kFill, "a ZIP archive"},
        {"empty zip", "PK\x05\x06"s + kFill, "a ZIP archive"},
        {"rar", "Rar!\x1A\x07"s + kFill, "a RAR archive"},
        {"7z", "7z\xBC\xAF\x27\x1C"s + kFill, "a 7z archive"},
        {"gzip", "\x1F\x8B"s + kFill, "a gzip archive"},
        {"xz", "\xFD"s + "7zXZ\0"s + kFill, "an xz archive"},
        {"arj", "\x60\xEA"s + kFill, "an ARJ archive"},
        {"cab", "MSCF\0\0\0\0"s + kFill, "a cabinet archive"},
        {"wav", "RIFF" + kFill, "a RIFF file (WAV sound, AVI video)"},
        {"ogg", "OggS" + kFill, "an Ogg sound or video"},
        {"flac", "fLaC" + kFill, "a FLAC sound"},
        {"mp3 with a tag", "ID3" + kFill, "an MP3 sound"},
        {"midi", "MThd" + kFill, "a MIDI file"},
        {"voc", "Creative Voice File\x1A"s + kFill, "a VOC sound"},
        {"au", ".snd" + kFill, "an AU sound"},
        {"iff", "FORM" + kFill, "an IFF file (AIFF sound, ILBM picture)"},
        {"dro", "DBRAWOPL" + kFill, "an OPL sound capture"},
        {"matroska", "\x1A\x45\xDF\xA3"s + kFill, "a Matroska video"},
        {"mp4: the box name after its size", "\0\0\0\x18"s + "ftypisom" + kFill, "an MP4 video"},
        {"mpeg program stream", "\0\0\x01\xBA"s + kFill, "an MPEG video"},
        {"mpeg video stream", "\0\0\x01\xB3"s + kFill, "an MPEG video"},
        {"pdf", "%PDF-1.4\n" + kFill, "a PDF file"},
        {"postscript", "%!PS-Adobe-3.0\n" + kFill, "a PostScript program"},
        {"postscript after ctrl-d", "\x04%!PS-Adobe\n"s + kFill, "a PostScript program"},
        {"office", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s + kFill, "an Office document"},
        // A magic number cut short by the end of the file is no format.
        {"half a png", "\x89PNG\r\n"s, ""},
        {"mp4 name at the start", "ftypisom" + kFill, ""},
        {"plain report", "Balance sheet for 1998\r\n" + kFill, ""},
    });
}

TEST(JobFormats, EveryByteOfAMagicNumberCounts) {
    // The whole magic number is compared: with its last byte changed no format is named.
    struct Magic {
        std::string bytes;
        std::size_t at;
        const char* kind;
    };
    const Magic magics[] = {
        {"\x89PNG\r\n\x1A\n"s, 0, "a PNG picture"},
        {"GIF87a", 0, "a GIF picture"},
        {"GIF89a", 0, "a GIF picture"},
        {"\xFF\xD8\xFF"s, 0, "a JPEG picture"},
        {"II*\0"s, 0, "a TIFF picture"},
        {"MM\0*"s, 0, "a TIFF picture"},
        {"\x7F"
         "ELF"s,
         0, "a program (ELF)"},
        {"PK\x03\x04"s, 0, "a ZIP archive"},
        {"PK\x05\x06"s, 0, "a ZIP archive"},
        {"Rar!\x1A\x07"s, 0, "a RAR archive"},
        {"7z\xBC\xAF\x27\x1C"s, 0, "a 7z archive"},
        {"\x1F\x8B"s, 0, "a gzip archive"},
        {"\xFD"
         "7zXZ\0"s,
         0, "an xz archive"},
        {"\x60\xEA"s, 0, "an ARJ archive"},
        {"MSCF\0\0\0\0"s, 0, "a cabinet archive"},
        {"RIFF", 0, "a RIFF file (WAV sound, AVI video)"},
        {"OggS", 0, "an Ogg sound or video"},
        {"fLaC", 0, "a FLAC sound"},
        {"ID3", 0, "an MP3 sound"},
        {"MThd", 0, "a MIDI file"},
        {"Creative Voice File\x1A"s, 0, "a VOC sound"},
        {".snd", 0, "an AU sound"},
        {"FORM", 0, "an IFF file (AIFF sound, ILBM picture)"},
        {"DBRAWOPL", 0, "an OPL sound capture"},
        {"\x1A\x45\xDF\xA3"s, 0, "a Matroska video"},
        {"ftyp", 4, "an MP4 video"},
        {"\0\0\x01\xBA"s, 0, "an MPEG video"},
        {"\0\0\x01\xB3"s, 0, "an MPEG video"},
        {"%PDF-", 0, "a PDF file"},
        {"%!PS", 0, "a PostScript program"},
        {"\x04%!PS"s, 0, "a PostScript program"},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s, 0, "an Office document"},
    };
    for (const Magic& m : magics) {
        const std::string lead = m.at ? "\0\0\0\x18"s : ""s;
        EXPECT_EQ(nameOf(lead + m.bytes + kFill), m.kind) << m.kind;
        std::string changed = m.bytes;
        changed.back() = static_cast<char>(changed.back() ^ 0x20);
        EXPECT_NE(nameOf(lead + changed + kFill), m.kind) << m.kind;
        // Cut before its last byte at the end of the file: no format either.
        EXPECT_NE(nameOf(lead + m.bytes.substr(0, m.bytes.size() - 1)), m.kind) << m.kind;
    }
}

TEST(JobFormats, PdfAfterLineEndsUpToSixteen) {
    EXPECT_EQ(nameOf("\r\n%PDF-1.3\n" + kFill), "a PDF file");
    EXPECT_EQ(nameOf(std::string(16, '\n') + "%PDF-1.3\n" + kFill), "a PDF file");
    EXPECT_EQ(nameOf(std::string(17, '\n') + "%PDF-1.3\n" + kFill), "");
    EXPECT_EQ(nameOf("\n %PDF-1.3\n" + kFill), "");
}

TEST(JobFormats, ShortMagicNumbersNeedTheirHeaderFields) {
    // BMP: "BM", size, two reserved words that are zero, data offset, the info header's size.
    const auto bmp = [](std::uint8_t headerSize, char reserved, std::size_t length) {
        std::string s = "BM\x36\x10\0\0"s + reserved + "\0\0\0\x36\0\0\0"s +
                        static_cast<char>(headerSize) + "\0\0\0"s;
        s.resize(length, '\x20');
        return s;
    };
    for (const int header : {12, 40, 52, 56, 64, 108, 124})
        EXPECT_EQ(nameOf(bmp(header, 0, 64)), "a BMP picture") << header;
    EXPECT_EQ(nameOf(bmp(40, 0, 18)), "a BMP picture");  // the header size is the last field read
    EXPECT_EQ(nameOf(bmp(40, 0, 17)), "");
    EXPECT_EQ(nameOf(bmp(41, 0, 64)), "");
    EXPECT_EQ(nameOf(bmp(40, 1, 64)), "");

    // PCX: manufacturer 10, version 0 or 2-5, run-length encoding 1, 1/2/4/8 bits per plane,
    // and its 128-byte header whole.
    const auto pcx = [](char version, char encoding, char bits, std::size_t length) {
        std::string s = "\x0A"s + version + encoding + bits;
        s.resize(length, '\x20');
        return s;
    };
    for (const char version : {0, 2, 3, 4, 5})
        EXPECT_EQ(nameOf(pcx(version, 1, 8, 128)), "a PCX picture") << int(version);
    for (const char bits : {1, 2, 4})
        EXPECT_EQ(nameOf(pcx(5, 1, bits, 128)), "a PCX picture") << int(bits);
    EXPECT_EQ(nameOf(pcx(1, 1, 8, 128)), "");
    EXPECT_EQ(nameOf(pcx(6, 1, 8, 128)), "");
    EXPECT_EQ(nameOf(pcx(5, 0, 8, 128)), "");
    EXPECT_EQ(nameOf(pcx(5, 1, 3, 128)), "");
    EXPECT_EQ(nameOf(pcx(5, 1, 8, 127)), "");

    // MZ (or ZM): a NUL among the header words at bytes 2-31, 64 bytes at least.
    const auto mz = [](const char* magic, std::size_t nulAt, std::size_t length) {
        std::string s = magic;
        s.resize(length, 'A');
        if (nulAt < length) s[nulAt] = '\0';
        return s;
    };
    EXPECT_EQ(nameOf(mz("MZ", 2, 64)), "a program (MZ)");
    EXPECT_EQ(nameOf(mz("ZM", 31, 64)), "a program (MZ)");
    EXPECT_EQ(nameOf(mz("MZ", 32, 64)), "");
    EXPECT_EQ(nameOf(mz("MZ", 2, 63)), "");
    EXPECT_EQ(nameOf(mz("MA", 2, 64)), "");

    // bzip2: "BZh" and a block size 1-9, then the block magic 31 41 59 26 53 59.
    const auto bz = [](char level, std::size_t length) {
        return ("BZh"s + level + "\x31\x41\x59\x26\x53\x59" + kFill).substr(0, length);
    };
    EXPECT_EQ(nameOf(bz('1', 10)), "a bzip2 archive");
    EXPECT_EQ(nameOf(bz('9', 100)), "a bzip2 archive");
    EXPECT_EQ(nameOf(bz('0', 100)), "");
    EXPECT_EQ(nameOf(bz('9', 9)), "");

    // LHA: header size and checksum, then "-lh5-" or "-lz5-" style methods.
    EXPECT_EQ(nameOf("\x2A\x5C-lh5-"s), "an LZH archive");
    EXPECT_EQ(nameOf("\x2A\x5C-lz4-"s + kFill), "an LZH archive");
    EXPECT_EQ(nameOf("\x2A\x5C-lx5-"s + kFill), "");
    EXPECT_EQ(nameOf("\x2A\x5C-lh5"s), "");
    EXPECT_EQ(nameOf("\x2A\x5C-lh5+"s + kFill), "");
}

TEST(JobFormats, CapturesWithoutAHeader) {
    // MPEG transport stream: four packets of 188 bytes, each starting with the sync byte 0x47.
    const auto ts = [](std::size_t length, std::size_t brokenPacket) {
        std::string s(length, 'a');
        for (std::size_t p = 0; p * 188 < length; ++p)
            if (p != brokenPacket) s[p * 188] = 0x47;
        return s;
    };
    const std::string transport = "an MPEG transport stream (video capture)";
    EXPECT_EQ(nameOf(ts(752, 9)), transport);
    EXPECT_EQ(nameOf(ts(751, 9)), "");
    EXPECT_EQ(nameOf(ts(752, 3)), "");
    EXPECT_EQ(nameOf(ts(752, 0)), "");

    // MP3 frame header: 11 sync bits, a layer that is not "reserved" (00), a bitrate index
    // that is not 15, a sample rate index that is not 3.
    EXPECT_EQ(nameOf("\xFF\xFB\x90\x64"s + kFill), "an MP3 sound");
    EXPECT_EQ(nameOf("\xFF\xFB\x90\x64"s), "an MP3 sound");
    EXPECT_EQ(nameOf("\xFF\xFB\x90"s), "");
    EXPECT_EQ(nameOf("\xFF\xF9\x90\x64"s + kFill), "");  // layer bits 00
    EXPECT_EQ(nameOf("\xFF\xDB\x90\x64"s + kFill), "");  // a sync bit missing
    EXPECT_EQ(nameOf("\xFF\xFB\xF0\x64"s + kFill), "");  // bitrate 15
    EXPECT_EQ(nameOf("\xFF\xFB\x9C\x64"s + kFill), "");  // sample rate 3
    EXPECT_EQ(nameOf("\xFF\xFB\x98\x64"s + kFill), "an MP3 sound");
}

TEST(JobFormats, PrinterJobLanguageHeaders) {
    const std::string pjl = "\x1B%-12345X@PJL JOB\r\n"s;
    EXPECT_EQ(nameOf(pjl + "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n%!PS\n"), "a PostScript program");
    EXPECT_EQ(nameOf(pjl + "@PJL ENTER LANGUAGE = PCL\r\n\x1B" + "E"), "");
    EXPECT_STREQ(languageOf(pjl + "@PJL ENTER LANGUAGE = PCL\r\n\x1B" + "E"), "a PCL 5 job");
    EXPECT_STREQ(languageOf(pjl + "@PJL ENTER LANGUAGE=PCL\r\n\x1B" + "E"), "a PCL 5 job");
    // PCL XL without its stream header enters no language we read.
    EXPECT_EQ(languageOf(pjl + "@PJL ENTER LANGUAGE=PCLXL\r\n" + kFill), nullptr);

    // Only the first 4096 bytes are searched for the language.
    const auto padded = [&](std::size_t at, const char* language) {
        std::string s = pjl;
        while (s.size() < at) s += "@PJL COMMENT " + std::string(60, '.') + "\r\n";
        s.resize(at, '.');
        return s + "LANGUAGE=" + language + "\r\n" + kFill;
    };
    EXPECT_STREQ(languageOf(padded(4096 - 12, "PCL")), "a PCL 5 job");  // ends on the last byte
    EXPECT_EQ(languageOf(padded(4096 - 11, "PCL")), nullptr);
    EXPECT_EQ(nameOf(padded(4096 - 19, "POSTSCRIPT")), "a PostScript program");
    EXPECT_EQ(nameOf(padded(4096 - 18, "POSTSCRIPT")), "");

    EXPECT_STREQ(languageOf("\x1B@text"), "an Epson ESC/P job");
    EXPECT_STREQ(languageOf("\x1B"
                            "E"),
                 "a PCL 5 job");
    EXPECT_STREQ(languageOf("\x11\x1B"), "an IBM Proprinter job");
    EXPECT_STREQ(languageOf("\x12\x1B"), "an IBM Proprinter job");
    EXPECT_EQ(languageOf("\x13\x1B"), nullptr);
    EXPECT_EQ(languageOf("\x12X"), nullptr);
    EXPECT_EQ(languageOf("\x12"), nullptr);
    EXPECT_EQ(languageOf("\x1B"), nullptr);
}

TEST(JobJudgement, EachEpsonCommandIsSteppedOverWithItsParametersAndData) {
    // Each command comes four times, its parameters and data all 0x01 (a control code no report
    // holds), then a line of text. Stepping over one byte too few leaves a 0x01 per copy; one
    // too many swallows the next copy's ESC and leaves its parameters: either way the file
    // reads as binary data. Commands with data make the job "a printer job with pictures".
    const auto ones = [](std::size_t n) { return std::string(n, '\x01'); };
    const std::string withCodes = "a text report with printer codes";
    const std::string withPictures = "a printer job with pictures";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\x1B*\x00\x02\x00"s + ones(2), withPictures},   // 8-pin: a byte per column
        {"\x1B*\x1F\x02\x00"s + ones(2), withPictures},   // density 31: still one byte
        {"\x1B*\x20\x02\x00"s + ones(6), withPictures},   // 24-pin from 32: three bytes
        {"\x1B*\x46\x02\x00"s + ones(6), withPictures},   // density 70: three
        {"\x1B*\x47\x02\x00"s + ones(12), withPictures},  // 48-pin from 71: six bytes
        {"\x1B*\x48\x01\x00"s + ones(6), withPictures},   // density 72: six
        {"\x1BK\x03\x00"s + ones(3), withPictures},
        {"\x1BL\x01\x01"s + ones(257), withPictures},  // the column count's high byte
        {"\x1BY\x02\x00"s + ones(2), withPictures},
        {"\x1BZ\x02\x00"s + ones(2), withPictures},
        {"\x1B^\x01\x02\x00"s + ones(4), withPictures},  // two bytes a column
        {"\x1B(G\x01\x00\x01"s, withPictures},
        {"\x1B(c\x04\x00"s + ones(4), withPictures},
        {"\x1B.\x00\x01\x01\x03\x08\x00"s + ones(3), withPictures},  // 8 dots: a byte a row
        {"\x1B.\x00\x01\x01\x02\x09\x00"s + ones(4), withPictures},  // 9 dots: two bytes
        {"\x1B.\x01\x01\x01\x01\x30\x00\xFE\x01\x02\x01\x01\x01"s, withPictures},  // 3 + 3
        {"\x1Bi\x01\x00\x01\x03\x00\x02\x00"s + ones(6), withPictures},
        {"\x1Bi\x01\x01\x01\x04\x00\x01\x00\xFE\x01\x00\x01"s, withPictures},  // 3 + 1
        {"\x1B$\x01\x01"s, withCodes},
        {"\x1B\\\x01\x01"s, withCodes},
        {"\x1B"
         "e\x01\x01"s,
         withCodes},
        {"\x1B"
         "f\x01\x01"s,
         withCodes},
        {"\x1B"
         "c\x01\x01"s,
         withCodes},
        {"\x1B"
         "C\x01"s,
         withCodes},  // page length in lines
        {"\x1B"
         "C\x00\x01"s,
         withCodes},  // in inches
        {"\x1BX\x01\x01\x01"s, withCodes},
        {"\x1B:\x01\x01\x01"s, withCodes},
        {"\x1B!\x01"s, withCodes},
        {"\x1B"
         "D\x01\x01\x01\x00"s,
         withCodes},  // tab stops up to NUL
        {"\x1B"
         "B\x01\x00"s,
         withCodes},
    };
    for (const auto& [command, what] : cases) {
        std::string job = "Stock list\r\n";
        for (int copy = 0; copy < 4; ++copy) job += command;
        job += "Flour 12 bags\r\n";
        EXPECT_EQ(judge(job).what, what) << testing::PrintToString(command);
        // Once, then two stray codes: stepping far too far would hide them.
        EXPECT_EQ(judge("Stock list\r\n" + command + "\x01\x02" + "ab").kind, JobKind::NotPrintable)
            << testing::PrintToString(command);
    }
}

TEST(JobJudgement, ControlCodesAndStatisticsAtTheirLimits) {
    // Up to one byte in fifty may be a stray control code; a single one never condemns.
    EXPECT_EQ(judge(std::string(99, 'a') + "\x01").kind, JobKind::Text);
    EXPECT_EQ(judge("\x01\x7F").kind, JobKind::NotPrintable);
    EXPECT_EQ(judge("ab\x01").kind, JobKind::Text);
    const auto binary = judge(std::string(97, 'a') + "\x01\x02");  // 2 of 99
    EXPECT_EQ(binary.kind, JobKind::NotPrintable);
    EXPECT_EQ(binary.what,
              "binary data (2% of its bytes are NUL or control codes that no report or printer "
              "job holds)");
    EXPECT_EQ(judge(std::string(98, 'a') + "\x7F\x01").kind, JobKind::Text);  // 2 of 100
    EXPECT_EQ(judge(std::string(95, 'a') + "\x01\x02\x03").what.substr(0, 15), "binary data (3%");
    // The codes reports use are not counted against them.
    std::string codes = "a";
    for (const char c : "\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x11\x12\x13\x14\x18"s) codes += c;
    EXPECT_EQ(judge(codes).what, "a text report");
    for (const char c : "\x10\x15\x16\x17\x19\x1C\x1D\x1E\x1F"s)
        EXPECT_EQ(judge("ab"s + c + c).kind, JobKind::NotPrintable) << int(c);

    // Entropy: exactly 7 bits per byte (128 values, equally often) still reads as text; more
    // than 7 is random or compressed, counted only from 2048 bytes on.
    std::string even;
    for (int round = 0; round < 16; ++round)
        for (int c = 0x80; c < 0x100; ++c) even += static_cast<char>(c);
    ASSERT_EQ(even.size(), 2048u);
    EXPECT_EQ(judge(even).kind, JobKind::Text);
    std::string wider = even + std::string(16, 'A');  // 129 values: log2(129) = 7.01 bits
    const auto noisy = judge(wider);
    EXPECT_EQ(noisy.kind, JobKind::NotPrintable);
    EXPECT_EQ(noisy.what, "random or compressed data (7.0 bits per byte; text has far fewer)");
    std::string spread;
    for (int i = 0; spread.size() < 2048; ++i) spread += static_cast<char>(0x20 + (i * 37) % 224);
    EXPECT_EQ(judge(spread).kind, JobKind::NotPrintable);
    EXPECT_EQ(judge(spread.substr(0, 2047)).kind, JobKind::Text);
}

TEST(JobJudgement, TheDosEndMarkAndItsPadding) {
    const std::string report = "Ledger\r\nTotal 100\r\n";
    EXPECT_EQ(judge(report + "\x1A" + std::string(300, '\0')).kind, JobKind::Text);
    EXPECT_EQ(judge(report + "\x1A\x1A\x1A").kind, JobKind::Text);
    // Bytes that are neither Ctrl-Z nor NUL after the mark: the file goes on.
    EXPECT_EQ(judge(report + "\x1A" + std::string(300, '\0') + "x").kind, JobKind::NotPrintable);
    EXPECT_EQ(judge(report + "\x1A" + "more\x01\x02").kind, JobKind::NotPrintable);
    // UTF-16 reports by their byte order mark, whatever letter they start with: FF FE and a
    // space, a digit or a capital A (10 04) also look like an MPEG Layer I frame header.
    for (const std::string& first : {" \0"s, "1\0"s, "a\0"s, "\x10\x04"s, "\x1E\x04"s})
        EXPECT_EQ(judge("\xFF\xFE"s + first + "b\0\r\0\n\0"s).what, "a text report (UTF-16)")
            << testing::PrintToString(first);
    EXPECT_EQ(judge("\xFE\xFF\0 \0b"s).what, "a text report (UTF-16)");
    EXPECT_EQ(judge("\xFF\xFB\x90\x64"s).what, "an MP3 sound");
    EXPECT_EQ(judge("Ledger\r\n\x1B"
                    "E bold\r\n"s)
                  .what,
              "a text report with printer codes");
    EXPECT_EQ(judge("Ledger\r\n").what, "a text report");
    EXPECT_EQ(judge("").what, "an empty file");
}
