// The judgement of a print job. A job that names its printer language at its start passes as
// such. In anything else, Epson and Proprinter commands are stepped over with their parameters
// and their graphics data (whose bytes may be anything), and what is left must read as text: few
// control codes that no report or printer uses, and the uneven byte statistics of a language,
// not the flat ones of compressed or random data.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "printable_job.h"
#include "text_encoding.h"

namespace folvek {

namespace {

// Control codes that reports and printer jobs hold: backspace (overstrike), tab, line feed,
// vertical tab, form feed, carriage return, SO/SI (wide, condensed), DC1-DC4 (select, pitch),
// CAN (clear the line), Ctrl-Z (the DOS end of file), ESC.
bool isJobControl(unsigned char c) {
    switch (c) {
        case 0x08:
        case 0x09:
        case 0x0A:
        case 0x0B:
        case 0x0C:
        case 0x0D:
        case 0x0E:
        case 0x0F:
        case 0x11:
        case 0x12:
        case 0x13:
        case 0x14:
        case 0x18:
        case 0x1A:
        case 0x1B:
            return true;
        default:
            return false;
    }
}

struct Walk {
    const unsigned char* d;
    std::size_t n;
    std::size_t graphics = 0;  // bytes of pictures and downloaded data
    std::size_t commands = 0;  // escape sequences read
};

std::size_t word(const Walk& w, std::size_t at) {
    return at + 1 < w.n ? w.d[at] | static_cast<std::size_t>(w.d[at + 1]) << 8 : 0;
}

// Epson run-length data (ESC . 1, ESC i with compression) until `want` bytes are decoded.
std::size_t skipRunLength(const Walk& w, std::size_t i, std::size_t want) {
    std::size_t got = 0;
    while (i < w.n && got < want) {
        const unsigned c = w.d[i++];
        if (c < 128) {
            i += c + 1;
            got += c + 1;
        } else {
            i += 1;
            got += 257 - c;
        }
    }
    return i;
}

// ESC/P and Proprinter: the index after the sequence that starts with ESC at i.
std::size_t skipEpson(Walk& w, std::size_t i) {
    if (i + 1 >= w.n) return w.n;
    const unsigned char c = w.d[i + 1];
    std::size_t end = i + 2, data = 0;
    switch (c) {
        case '*': {  // bit image: density m, columns nL nH
            const unsigned m = i + 2 < w.n ? w.d[i + 2] : 0;
            const std::size_t per = m >= 71 ? 6 : m >= 32 ? 3 : 1;
            data = word(w, i + 3) * per;
            end = i + 5;
            break;
        }
        case 'K':
        case 'L':
        case 'Y':
        case 'Z':
            data = word(w, i + 2);
            end = i + 4;
            break;
        case '^':
            data = word(w, i + 3) * 2;
            end = i + 5;
            break;
        case '.': {  // ESC/P2 raster: compression, densities, rows m, dots nL nH
            if (i + 7 >= w.n) return w.n;
            const std::size_t bytes = w.d[i + 5] * ((word(w, i + 6) + 7) / 8);
            end = i + 8;
            w.graphics += bytes;
            return w.d[i + 2] == 1 ? skipRunLength(w, end, bytes) : end + bytes;
        }
        case 'i': {  // ESC/P raster: colour, compression, bits, bytes per row, rows
            if (i + 8 >= w.n) return w.n;
            const std::size_t bytes = word(w, i + 5) * word(w, i + 7);
            end = i + 9;
            w.graphics += bytes;
            return w.d[i + 3] == 1 ? skipRunLength(w, end, bytes) : end + bytes;
        }
        case '(':  // ESC ( X nL nH data
            data = word(w, i + 3);
            end = i + 5;
            break;
        case 'D':  // tab stops, vertical tab stops, VFU channels: up to a NUL
        case 'B':
        case 'b':
            end = i + 2;
            while (end < w.n && end < i + 40 && w.d[end] != 0) ++end;
            return end + 1;
        case '$':
        case '\\':
        case 'e':
        case 'f':
        case 'c':
            end = i + 4;
            break;
        case 'C':  // page length in lines, or ESC C NUL n in inches
            end = i + 2 < w.n && w.d[i + 2] == 0 ? i + 4 : i + 3;
            break;
        case 'X':
        case ':':
            end = i + 5;
            break;
        case '@':
        case '0':
        case '1':
        case '2':
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
        case '<':
        case 'E':
        case 'F':
        case 'G':
        case 'H':
        case 'M':
        case 'O':
        case 'P':
        case 'g':
        case 'T':
        case '=':
        case '#':
        case 0x0E:
        case 0x0F:
        case 0x11:
        case 0x12:
        case 0x13:
        case 0x14:
            end = i + 2;
            break;
        default:  // one parameter byte: ESC ! n, ESC - n, ESC 3 n, ESC J n, ESC x n, ...
            end = i + 3;
            break;
    }
    w.graphics += data;
    return end + data;
}

double entropyBits(const std::array<std::size_t, 256>& count, std::size_t total) {
    double h = 0;
    for (const std::size_t c : count) {
        if (c == 0) continue;
        const double p = static_cast<double>(c) / static_cast<double>(total);
        h -= p * std::log2(p);
    }
    return h;
}

std::string percent(std::size_t part, std::size_t whole) {
    return std::to_string((part * 100 + whole / 2) / whole) + "%";
}

}  // namespace

PrintableVerdict judgePrintJob(const unsigned char* d, std::size_t n) {
    if (n == 0) return {JobKind::Empty, "an empty file"};
    if (const char* kind = nonJobFormat(d, n)) return {JobKind::NotPrintable, kind};
    if (utf16FormOf(d, n) != Utf16Form::None) return {JobKind::Text, "a text report (UTF-16)"};
    // A job that names its language at its start is the interpreter's to read, pictures and all
    // (PCL XL is binary from its stream header on): nothing in it is text to weigh.
    if (const char* language = printerLanguageSignature(d, n))
        return {JobKind::PrinterJob, language};

    // DOS programs pad the file after its end mark; what follows Ctrl-Z is never loaded.
    std::size_t end = n;
    for (std::size_t i = 0; i < n; ++i)
        if (d[i] == 0x1A) {
            std::size_t k = i;
            while (k < n && (d[k] == 0x1A || d[k] == 0)) ++k;
            if (k == n) end = i;
            break;
        }

    Walk w{d, end};
    std::array<std::size_t, 256> count{};
    std::size_t text = 0, bad = 0;
    for (std::size_t i = 0; i < end;) {
        if (d[i] == 0x1B) {
            i = skipEpson(w, i);
            ++w.commands;
            continue;
        }
        const unsigned char c = d[i++];
        ++text;
        ++count[c];
        if ((c < 0x20 && !isJobControl(c)) || c == 0x7F) ++bad;
    }
    if (text > 0 && bad >= 2 && bad * 50 > text)
        return {JobKind::NotPrintable, "binary data (" + percent(bad, text) +
                                           " of its bytes are NUL or control codes that no "
                                           "report or printer job holds)"};
    if (text >= 2048) {
        const double h = entropyBits(count, text);
        if (h > 7.0) {
            char bits[16];
            std::snprintf(bits, sizeof bits, "%.1f", h);
            return {JobKind::NotPrintable, std::string("random or compressed data (") + bits +
                                               " bits per byte; text has far fewer)"};
        }
    }
    if (w.graphics > 0) return {JobKind::PrinterJob, "a printer job with pictures"};
    return {JobKind::Text, w.commands > 0 ? "a text report with printer codes" : "a text report"};
}

}  // namespace folvek
