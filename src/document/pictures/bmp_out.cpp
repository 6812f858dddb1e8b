// Reading Windows bitmap files: the file header, the information header (core, 3.x, V4, V5)
// and the colour table are kept as stored; the pixels are decoded once to 0xAARRGGBB, top row
// first, on a coarser grid when the image is larger than any page shows. Every size and offset is
// checked against the file before it is used.
#include "bmp_out.h"
#include "system_reason.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "messages.h"
#include "string_table.h"

namespace folvek {

namespace {

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kAlphaBitfields = 6
};

std::uint32_t u16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;
    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        max = (static_cast<std::uint64_t>(m) >> shift);
    }
    std::uint32_t get(std::uint32_t px) const {
        if (!mask) return 0;
        const std::uint64_t v = (px & mask) >> shift;
        return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
    }
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // > 0 bottom-up, < 0 top-down
    std::uint32_t bpp = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[4] = {};  // red, green, blue, alpha
    bool hasMasks = false;
    std::size_t paletteStart = 0;  // within `info`
    std::size_t paletteEntry = 4;
};

// Parses the information block; false when it is not a bitmap this reader draws.
bool parseHeader(const std::vector<std::uint8_t>& info, Header& h) {
    if (info.size() < 4) return false;
    const std::uint32_t size = u32(info.data());
    if (size > info.size() || size < 12) return false;
    const std::uint8_t* p = info.data();
    if (size == 12) {
        h.width = u16(p + 4);
        h.height = u16(p + 6);
        h.bpp = u16(p + 10);
        h.paletteStart = 12;
        h.paletteEntry = 3;
        // An empty picture is no picture: it would be "loaded" with nothing to draw.
        if (h.width == 0 || h.height == 0) return false;
        return h.bpp == 1 || h.bpp == 4 || h.bpp == 8 || h.bpp == 24;
    }
    if (size < 40) return false;
    h.width = static_cast<std::int32_t>(u32(p + 4));
    h.height = static_cast<std::int32_t>(u32(p + 8));
    h.bpp = u16(p + 14);
    h.compression = u32(p + 16);
    h.colorsUsed = u32(p + 32);
    h.paletteStart = size;
    if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
        const std::size_t n = h.compression == kAlphaBitfields ? 4 : 3;
        if (size >= 40 + 4 * n) {
            for (std::size_t i = 0; i < n; ++i) h.masks[i] = u32(p + 40 + 4 * i);
        } else {
            if (info.size() < size + 4 * n) return false;
            for (std::size_t i = 0; i < n; ++i) h.masks[i] = u32(p + size + 4 * i);
            h.paletteStart = size + 4 * n;
        }
        if (size >= 56) h.masks[3] = u32(p + 52);
        h.hasMasks = true;
        if (h.bpp != 16 && h.bpp != 32) return false;
    } else if (h.compression == kRle8) {
        if (h.bpp != 8 || h.height < 0) return false;
    } else if (h.compression == kRle4) {
        if (h.bpp != 4 || h.height < 0) return false;
    } else if (h.compression != kRgb) {
        return false;
    } else if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 &&
               h.bpp != 32) {
        return false;
    }
    return h.width > 0 && h.height != 0;
}

// The colour table as 0xFFRRGGBB; entries the file does not hold stay black.
std::vector<std::uint32_t> readPalette(const std::vector<std::uint8_t>& info, const Header& h) {
    std::vector<std::uint32_t> pal;
    if (h.bpp > 8) return pal;
    std::size_t n = std::size_t{1} << h.bpp;
    if (h.colorsUsed && h.colorsUsed < n) n = h.colorsUsed;
    pal.assign(std::size_t{1} << h.bpp, 0xFF000000u);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = h.paletteStart + i * h.paletteEntry;
        if (at + 3 > info.size()) break;
        const std::uint8_t* e = info.data() + at;
        pal[i] = 0xFF000000u | (e[2] << 16) | (e[1] << 8) | e[0];
    }
    return pal;
}

// Which pixels are kept: every `step`-th of every `step`-th row, `width` x `height` of them.
struct Sampling {
    std::size_t step = 1, width = 0, height = 0;
};

// `row(i)` gives the file's i-th stored row (bottom-up files store the bottom row first).
template <typename RowAt>
void decodeRows(RowAt row, const Header& h, const std::vector<std::uint32_t>& pal,
                const Sampling& s, std::vector<std::uint32_t>& out) {
    const std::size_t rows = static_cast<std::size_t>(h.height < 0 ? -h.height : h.height);
    std::uint32_t m[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (!h.hasMasks) {
        if (h.bpp == 16) m[0] = 0x7C00, m[1] = 0x03E0, m[2] = 0x001F;
        if (h.bpp == 32) m[0] = 0xFF0000, m[1] = 0xFF00, m[2] = 0xFF;
    }
    // The alpha mask of V4/V5 headers is read but never applied: a letterhead is printed
    // opaque, like every other picture (a fully transparent logo would vanish).
    const Channel r(m[0]), g(m[1]), b(m[2]);
    for (std::size_t ty = 0; ty < s.height; ++ty) {
        const std::size_t top = ty * s.step;  // image row, top first
        const std::uint8_t* src = row(h.height > 0 ? rows - 1 - top : top);
        if (!src) return;
        std::uint32_t* dst = out.data() + ty * s.width;
        for (std::size_t tx = 0; tx < s.width; ++tx) {
            const std::size_t x = tx * s.step;
            std::uint32_t px;
            switch (h.bpp) {
                case 1:
                    px = pal[(src[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    px = pal[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                    break;
                case 8:
                    px = pal[src[x]];
                    break;
                case 24:
                    px = 0xFF000000u | (src[3 * x + 2] << 16) | (src[3 * x + 1] << 8) | src[3 * x];
                    break;
                default: {
                    const std::uint32_t v = h.bpp == 16 ? u16(src + 2 * x) : u32(src + 4 * x);
                    px = 0xFF000000u | (r.get(v) << 16) | (g.get(v) << 8) | b.get(v);
                }
            }
            dst[tx] = px;
        }
    }
}

// Run-length encoded 4- and 8-bit data; bytes past the end of the data end the picture.
void decodeRle(const std::uint8_t* data, std::size_t size, const Header& h,
               const std::vector<std::uint32_t>& pal, const Sampling& s,
               std::vector<std::uint32_t>& out) {
    const std::int64_t w = h.width, rows = h.height;
    const auto step = static_cast<std::int64_t>(s.step);
    std::int64_t x = 0, y = 0;
    std::size_t i = 0;
    auto put = [&](std::uint32_t index) {
        const std::int64_t top = rows - 1 - y;
        if (x < w && top >= 0 && x % step == 0 && top % step == 0)
            out[static_cast<std::size_t>(top / step) * s.width +
                static_cast<std::size_t>(x / step)] = pal[index & 0xFF];
        ++x;
    };
    const bool four = h.compression == kRle4;
    while (i + 1 < size) {
        const std::uint32_t count = data[i], value = data[i + 1];
        i += 2;
        if (count) {
            for (std::uint32_t k = 0; k < count; ++k)
                put(four ? ((k & 1) ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (i + 1 >= size) return;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > size) return;
            for (std::uint32_t k = 0; k < value; ++k)
                put(four ? ((k & 1) ? data[i + k / 2] & 15 : data[i + k / 2] >> 4) : data[i + k]);
            i += (bytes + 1) & ~std::size_t{1};
        }
    }
}

class File {
  public:
    // Only regular files: a FIFO would block the open, a device would never end.
    explicit File(const std::string& name) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !(f_ = ::fdopen(fd, "rb")))
            ::close(fd);
    }
    ~File() {
        if (f_) std::fclose(f_);
    }
    explicit operator bool() const { return f_ != nullptr; }
    bool read(std::uint64_t at, void* to, std::size_t n) {
        if (n == 0) return true;
        if (std::fseek(f_, static_cast<long>(at), SEEK_SET) != 0) return false;
        return std::fread(to, 1, n, f_) == n;
    }
    std::uint64_t size() {
        if (std::fseek(f_, 0, SEEK_END) != 0) return 0;
        const long s = std::ftell(f_);
        return s < 0 ? 0 : static_cast<std::uint64_t>(s);
    }

  private:
    std::FILE* f_ = nullptr;
};

}  // namespace

std::string bitmapFileName(const std::string& name) {
    const std::size_t from = name.size() > 4 ? name.size() - 4 : 0;
    if (name.find('.', from) != std::string::npos) return name;
    return name + ".bmp";
}

int BmpOut::release() {
    const bool held = loaded != 0;
    loaded = 0;
    info.clear();
    info.shrink_to_fit();
    pixels.clear();
    pixels.shrink_to_fit();
    imageWidth = imageHeight = 0;
    pixelWidth = pixelHeight = 0;
    if (!held) return 0;
    height = width = 0;
    percent = 100;
    return 1;
}

namespace {

// No page shows more than kMaxPixelSide pixels of a picture across; a larger one is kept at a
// coarser grid, so a header claiming a huge image costs what can be shown.
Sampling samplingFor(std::uint64_t w, std::uint64_t rows) {
    Sampling sampling;
    sampling.step = static_cast<std::size_t>((std::max(w, rows) + BmpOut::kMaxPixelSide - 1) /
                                             BmpOut::kMaxPixelSide);
    sampling.width = static_cast<std::size_t>((w + sampling.step - 1) / sampling.step);
    sampling.height = static_cast<std::size_t>((rows + sampling.step - 1) / sampling.step);
    return sampling;
}

}  // namespace

int BmpOut::loadFile(const std::string& name, MessageSink* messages) {
    if (loaded) release();
    loaded = 0;
    const std::string fileName = bitmapFileName(name);
    // The fixed text, then the picture's file and why, on a line of their own.
    auto fail = [&](int id, const char* reason = nullptr) {
        release();
        if (!reason)
            reason = id == 1008 ? "рисунок слишком велик" : "это не рисунок BMP, или он повреждён";
        if (messages)
            messages->show(loadString(id) + "\n" + fileName + ": " + reason, "!!!", MsgIcon::Error);
        return 0;
    };

    errno = 0;
    File file(fileName);
    if (!file)
        return fail(StrPictureOpenError,
                    errno != 0 ? systemReason(errno).c_str() : "это не обычный файл");
    const std::uint64_t fileSize = file.size();
    if (fileSize < 14 + 12 || !file.read(0, fileHeader, 14)) return fail(StrPictureOpenError);
    const std::uint32_t offset = u32(fileHeader + 10);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M' || offset < 14 + 12 || offset > fileSize)
        return fail(StrPictureOpenError);

    Header h;
    try {
        info.assign(offset - 14, 0);
    } catch (const std::bad_alloc&) {
        return fail(StrOutOfMemory);
    }
    if (!file.read(14, info.data(), info.size()) || !parseHeader(info, h))
        return fail(StrPictureOpenError);

    const std::uint64_t w = static_cast<std::uint64_t>(h.width);
    const std::uint64_t rows = static_cast<std::uint64_t>(h.height < 0 ? -h.height : h.height);
    const Sampling sampling = samplingFor(w, rows);

    const std::uint64_t available = fileSize - offset;
    const bool rle = h.compression == kRle4 || h.compression == kRle8;
    const std::uint64_t stride = ((w * h.bpp + 31) / 32) * 4;
    // The last row's padding may be missing, nothing more; the division keeps a header that
    // claims 2^31 rows of 2^31 pixels from wrapping the product round.
    if (!rle &&
        ((rows - 1) > available / stride || stride * (rows - 1) + (w * h.bpp + 7) / 8 > available))
        return fail(StrPictureOpenError);
    const std::vector<std::uint32_t> pal = readPalette(info, h);
    std::vector<std::uint8_t> data;
    try {
        pixels.assign(sampling.width * sampling.height, 0);
        // Run-length data is read whole (it is what the file holds); rows one at a time.
        data.assign(static_cast<std::size_t>(rle ? available : stride), 0);
    } catch (const std::bad_alloc&) {
        return fail(StrOutOfMemory);
    }
    if (rle) {
        if (!file.read(offset, data.data(), data.size())) return fail(StrPictureOpenError);
        decodeRle(data.data(), data.size(), h, pal, sampling, pixels);
    } else {
        bool readOk = true;
        auto rowAt = [&](std::size_t i) -> const std::uint8_t* {
            const std::uint64_t at = offset + i * stride;
            const std::size_t n = static_cast<std::size_t>(std::min(stride, fileSize - at));
            std::fill(data.begin() + static_cast<std::ptrdiff_t>(n), data.end(), 0);
            readOk = file.read(at, data.data(), n);
            return readOk ? data.data() : nullptr;
        };
        decodeRows(rowAt, h, pal, sampling, pixels);
        if (!readOk) return fail(StrPictureOpenError);
    }

    pixelWidth = static_cast<std::int32_t>(sampling.width);
    pixelHeight = static_cast<std::int32_t>(sampling.height);
    imageWidth = static_cast<std::int32_t>(w);
    imageHeight = static_cast<std::int32_t>(rows);
    width = static_cast<std::int32_t>(static_cast<std::int64_t>(imageWidth) * percent / 100);
    height = static_cast<std::int32_t>(static_cast<std::int64_t>(imageHeight) * percent / 100);
    loaded = 1;
    return 1;
}

}  // namespace folvek
