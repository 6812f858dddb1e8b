// The opening bytes of the formats that are never a print job, and of the printer languages.
// Short magic numbers that a report could start with by chance ("BM", "MZ", a PCX's line feed)
// are checked together with the header fields that follow them.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "pclxl_stream.h"
#include "printable_job.h"

namespace folvek {

namespace {

bool startsWith(const unsigned char* d, std::size_t n, const char* magic, std::size_t len,
                std::size_t at = 0) {
    return n >= at + len && std::memcmp(d + at, magic, len) == 0;
}

std::uint32_t le32(const unsigned char* d) {
    return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
}

// "BM", reserved words zero, a known info-header size.
bool isBmp(const unsigned char* d, std::size_t n) {
    if (n < 18 || d[0] != 'B' || d[1] != 'M') return false;
    if (le32(d + 6) != 0) return false;
    const std::uint32_t header = le32(d + 14);
    return header == 12 || header == 40 || header == 52 || header == 56 || header == 64 ||
           header == 108 || header == 124;
}

// ZSoft PCX: manufacturer 10, version 0-5, RLE encoding, 1-8 bits per plane.
bool isPcx(const unsigned char* d, std::size_t n) {
    return n >= 128 && d[0] == 0x0A && d[1] <= 5 && d[1] != 1 && d[2] == 1 &&
           (d[3] == 1 || d[3] == 2 || d[3] == 4 || d[3] == 8);
}

// An MZ program: its header counts pages and paragraphs in words that hold NUL bytes.
bool isMz(const unsigned char* d, std::size_t n) {
    if (n < 64 || !((d[0] == 'M' && d[1] == 'Z') || (d[0] == 'Z' && d[1] == 'M'))) return false;
    for (std::size_t i = 2; i < 32; ++i)
        if (d[i] == 0) return true;
    return false;
}

// bzip2: "BZh", a block size digit and the block magic (the digits of pi).
bool isBzip2(const unsigned char* d, std::size_t n) {
    return n >= 10 && d[0] == 'B' && d[1] == 'Z' && d[2] == 'h' && d[3] >= '1' && d[3] <= '9' &&
           std::memcmp(d + 4, "\x31\x41\x59\x26\x53\x59", 6) == 0;
}

// LHA: a header size, a checksum, then "-lh?-" or "-lz?-".
bool isLzh(const unsigned char* d, std::size_t n) {
    return n >= 7 && d[2] == '-' && d[3] == 'l' && (d[4] == 'h' || d[4] == 'z') && d[6] == '-';
}

// An MPEG transport stream: a sync byte every 188 bytes.
bool isMpegTs(const unsigned char* d, std::size_t n) {
    if (n < 188 * 4) return false;
    for (std::size_t i = 0; i < 188 * 4; i += 188)
        if (d[i] != 0x47) return false;
    return true;
}

// An MPEG audio frame header (MP3 without a tag): 11 sync bits, a valid layer and rate. FF FE
// would be a Layer I frame, but it is the byte order mark of every UTF-16 LE report, so it is
// left to the text rules (compressed sound there still reads as random data).
bool isMpegAudio(const unsigned char* d, std::size_t n) {
    return n >= 4 && d[0] == 0xFF && d[1] != 0xFE && (d[1] & 0xE0) == 0xE0 && (d[1] & 0x06) != 0 &&
           (d[2] & 0xF0) != 0xF0 && (d[2] & 0x0C) != 0x0C;
}

bool pjlEntersPcl5(const unsigned char* d, std::size_t n) {
    const std::string head(reinterpret_cast<const char*>(d), n < 4096 ? n : 4096);
    for (const char* enter : {"LANGUAGE=PCL", "LANGUAGE = PCL"}) {
        const auto at = head.find(enter);
        if (at == std::string::npos) continue;
        const auto after = at + std::strlen(enter);
        if (head.compare(after, 2, "XL") != 0) return true;
    }
    return false;
}

}  // namespace

const char* nonJobFormat(const unsigned char* d, std::size_t n) {
    static const struct {
        const char* magic;
        std::size_t length;
        std::size_t at;
        const char* kind;
    } kFormats[] = {
        {"\x89PNG\r\n\x1A\n", 8, 0, "a PNG picture"},
        {"GIF87a", 6, 0, "a GIF picture"},
        {"GIF89a", 6, 0, "a GIF picture"},
        {"\xFF\xD8\xFF", 3, 0, "a JPEG picture"},
        {"II*\0", 4, 0, "a TIFF picture"},
        {"MM\0*", 4, 0, "a TIFF picture"},
        {"\x7F"
         "ELF",
         4, 0, "a program (ELF)"},
        {"PK\x03\x04", 4, 0, "a ZIP archive"},
        {"PK\x05\x06", 4, 0, "a ZIP archive"},
        {"Rar!\x1A\x07", 6, 0, "a RAR archive"},
        {"7z\xBC\xAF\x27\x1C", 6, 0, "a 7z archive"},
        {"\x1F\x8B", 2, 0, "a gzip archive"},
        {"\xFD"
         "7zXZ\0",
         6, 0, "an xz archive"},
        {"\x60\xEA", 2, 0, "an ARJ archive"},
        {"MSCF\0\0\0\0", 8, 0, "a cabinet archive"},
        {"RIFF", 4, 0, "a RIFF file (WAV sound, AVI video)"},
        {"OggS", 4, 0, "an Ogg sound or video"},
        {"fLaC", 4, 0, "a FLAC sound"},
        {"ID3", 3, 0, "an MP3 sound"},
        {"MThd", 4, 0, "a MIDI file"},
        {"Creative Voice File\x1A", 20, 0, "a VOC sound"},
        {".snd", 4, 0, "an AU sound"},
        {"FORM", 4, 0, "an IFF file (AIFF sound, ILBM picture)"},
        {"DBRAWOPL", 8, 0, "an OPL sound capture"},
        {"\x1A\x45\xDF\xA3", 4, 0, "a Matroska video"},
        {"ftyp", 4, 4, "an MP4 video"},
        {"\0\0\x01\xBA", 4, 0, "an MPEG video"},
        {"\0\0\x01\xB3", 4, 0, "an MPEG video"},
        {"%PDF-", 5, 0, "a PDF file"},
        {"%!PS", 4, 0, "a PostScript program"},
        {"\x04%!PS", 5, 0, "a PostScript program"},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8, 0, "an Office document"},
    };
    for (const auto& f : kFormats)
        if (startsWith(d, n, f.magic, f.length, f.at)) return f.kind;
    // A PDF may follow a few line ends, as readers allow.
    std::size_t i = 0;
    while (i < n && i < 16 && (d[i] == '\r' || d[i] == '\n')) ++i;
    if (i > 0 && startsWith(d, n, "%PDF-", 5, i)) return "a PDF file";
    if (isBmp(d, n)) return "a BMP picture";
    if (isPcx(d, n)) return "a PCX picture";
    if (isMz(d, n)) return "a program (MZ)";
    if (isBzip2(d, n)) return "a bzip2 archive";
    if (isLzh(d, n)) return "an LZH archive";
    if (isMpegTs(d, n)) return "an MPEG transport stream (video capture)";
    if (isMpegAudio(d, n)) return "an MP3 sound";
    if (startsWith(d, n, "\x1B%-12345X", 9) && !pjlEntersPcl5(d, n)) {
        const std::string head(reinterpret_cast<const char*>(d), n < 4096 ? n : 4096);
        if (head.find("POSTSCRIPT") != std::string::npos) return "a PostScript program";
    }
    return nullptr;
}

const char* printerLanguageSignature(const unsigned char* d, std::size_t n) {
    const std::string_view job(reinterpret_cast<const char*>(d), n);
    if (printer::pxlFindStream(job) != std::string_view::npos) return "a PCL XL job";
    if (startsWith(d, n, "\x1B@", 2)) return "an Epson ESC/P job";
    if (startsWith(d, n,
                   "\x1B"
                   "E",
                   2))
        return "a PCL 5 job";
    if (startsWith(d, n, "\x1B%-12345X", 9) && pjlEntersPcl5(d, n)) return "a PCL 5 job";
    // The Proprinter is selected with DC1 (or DC2 on some models) before its first command.
    if (n >= 2 && (d[0] == 0x11 || d[0] == 0x12) && d[1] == 0x1B) return "an IBM Proprinter job";
    return nullptr;
}

}  // namespace folvek
