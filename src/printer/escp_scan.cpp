// The command scan: every ESC sequence is looked at once; the data of bit images, ESC/P2
// raster and ESC ( commands is stepped over by its own counts.
#include "escp_scan.h"

#include <cstddef>
#include <cstdint>

namespace folvek::printer {
namespace {

bool lower(char c) {
    return c >= 'a' && c <= 'z';
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}

class Scanner {
  public:
    explicit Scanner(std::string_view job) : s_(job) {}

    JobScan run() {
        r_.proprinter = s_.size() > 1 && s_[0] == '\x11' && s_[1] == '\x1b';
        r_.startsWithReset = s_.size() > 1 && s_[0] == '\x1b' && s_[1] == 'E';
        r_.pcl = s_.find("\x1b%-12345X") != std::string_view::npos;
        const auto* p = reinterpret_cast<const unsigned char*>(s_.data());
        while (i_ < s_.size()) {
            // Text is most of a report: step over it in a tight loop.
            while (i_ < s_.size() && p[i_] >= 0x20) ++i_;
            if (i_ >= s_.size()) break;
            const auto b = p[i_];
            if (b == 0x1B) {
                escape();
                continue;
            }
            if (b == 0x0E || b == 0x0F || b == 0x12 || b == 0x14 || b == 0x08) r_.anyCommand = true;
            if (b == 0x1C && i_ + 1 < s_.size() && s_[i_ + 1] == '3') r_.pins24 = true;
            ++i_;
        }
        return r_;
    }

  private:
    std::uint8_t at(std::size_t k) const { return k < s_.size() ? std::uint8_t(s_[k]) : 0; }
    std::size_t word(std::size_t k) const { return at(k) | std::size_t{at(k + 1)} << 8; }

    void escape() {
        r_.anyCommand = true;
        const char c = i_ + 1 < s_.size() ? s_[i_ + 1] : '\0';
        const char d = i_ + 2 < s_.size() ? s_[i_ + 2] : '\0';
        const char e = i_ + 3 < s_.size() ? s_[i_ + 3] : '\0';
        if ((c == '&' || c == '*') && lower(d) && (digit(e) || e == '-' || e == '+')) r_.pcl = true;
        if (c == '(' && d == 's' && digit(e)) r_.pcl = true;
        if (c == 'F') r_.boldOff = true;
        if (c == '[' || c == '_') r_.proprinter = true;
        if (c == '+') r_.pins24 = true;
        switch (c) {
            case '*':
                bitImage();
                return;
            case 'K':
            case 'L':
            case 'Y':
            case 'Z':
                skip(4 + word(i_ + 2));
                return;
            case '^':
                skip(5 + 2 * word(i_ + 3));
                return;
            case '.':
                raster();
                return;
            case '(':
                paren();
                return;
            case 'i':
                if (graphicsMode_) {
                    rasterLines();
                    return;
                }
                break;
            default:
                break;
        }
        i_ += 2;
    }

    void skip(std::size_t n) { i_ = n > s_.size() - i_ ? s_.size() : i_ + n; }

    void bitImage() {
        const int m = at(i_ + 2);
        const std::size_t n = word(i_ + 3);
        int bytes = 0;
        if (m < 8)
            bytes = 1;
        else if (m == 32 || m == 33 || (m >= 38 && m <= 40))
            bytes = 3;
        else if (m >= 71 && m <= 73)
            bytes = 6;
        if (bytes == 0) {  // not an Epson density (PCL's ESC * letters land here)
            i_ += 2;
            return;
        }
        if (bytes > 1) r_.pins24 = true;
        skip(5 + n * static_cast<std::size_t>(bytes));
    }

    // Steps over `size` bytes of run-length coded data from k; returns where it ends.
    std::size_t runLength(std::size_t k, std::size_t size) const {
        std::size_t done = 0;
        while (done < size && k < s_.size()) {
            const std::uint8_t count = at(k);
            if (count < 128) {
                done += count + 1u;
                k += count + 2u;
            } else {
                done += 257u - count;
                k += 2;
            }
        }
        return k;
    }

    void raster() {
        r_.escp2 = r_.pins24 = true;
        const std::uint8_t c = at(i_ + 2), m = at(i_ + 5);
        const std::size_t size = (word(i_ + 6) + 7) / 8 * m;
        const std::size_t data = i_ + 8;
        if (c == 1)
            i_ = runLength(data, size);
        else
            skip(8 + size);
    }

    void rasterLines() {
        const std::uint8_t c = at(i_ + 3), m = at(i_ + 7);
        const std::size_t size = word(i_ + 5) * m, data = i_ + 8;
        if (c == 1)
            i_ = runLength(data, size);
        else
            skip(8 + size);
    }

    void paren() {
        const char c = i_ + 2 < s_.size() ? s_[i_ + 2] : '\0';
        const std::size_t n = word(i_ + 3);
        // ESC ( letter nL nH: a binary length (PCL's ESC ( 1 0 U and ESC ( s ... are text).
        if (!(lower(c) || (c >= 'A' && c <= 'Z') || c == '$' || c == '\\' || c == '-' ||
              c == '^') ||
            at(i_ + 4) >= 0x10) {
            i_ += 2;
            return;
        }
        r_.pins24 = true;
        if (std::string_view("GUCcVvDR").find(c) != std::string_view::npos) r_.escp2 = true;
        if (c == 'G' && n >= 1) graphicsMode_ = at(i_ + 5) == 1 || at(i_ + 5) == '1';
        skip(5 + n);
    }

    std::string_view s_;
    std::size_t i_ = 0;
    bool graphicsMode_ = false;
    JobScan r_;
};

}  // namespace

JobScan scanJob(std::string_view job) {
    return Scanner(job).run();
}

}  // namespace folvek::printer
