// For the reports' fuzz target and corpus tests: the page and settings a corpus input's first
// four bytes choose (wrapping, page numbers, margins and line height sensible and absurd, the
// sheet's size, a font without width, the fit), so that one corpus reaches every branch of
// loading and layout.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>

#include "layout_fakes.h"

namespace folvek::test {

inline constexpr long double kCorpusMargins[] = {0,   25,   100, 393.7, 1000,   5000,
                                                 -50, -1e6, 1e9, 1e300, -1e300, 0.5};
inline constexpr std::int32_t kCorpusHeights[] = {
    100, 10, 1, 0, -100, 250, 1000, 2147483647, -2147483647 - 1, 55};

// Takes the four bytes off the front of `input` (zeros past its end) and sets the record from
// them; without `header`, sets it as four zeros would and leaves the input whole.
inline void applyCorpusSettings(TestRecord& tp, std::string& input, bool header = true) {
    std::uint8_t h[4] = {0, 0, 0, 0};
    if (header) {
        for (std::size_t i = 0; i < 4 && i < input.size(); ++i)
            h[i] = static_cast<std::uint8_t>(input[i]);
        input.erase(0, std::min<std::size_t>(4, input.size()));
    }
    const std::uint8_t flags = h[0], margins = h[1], height = h[2], device = h[3];
    tp.printer.widthMm = 50 + (device & 15) * 20;
    tp.printer.heightMm = 50 + (device >> 4) * 20;
    tp.printer.charWidth = (flags & 0x80) ? 0 : 10;  // a font without width
    DocumentRecord& pg = *tp;
    pg.isWrap = flags & 1;
    pg.IsNumPage = (flags >> 1) & 1;
    pg.TopMargin = kCorpusMargins[(margins & 15) % std::size(kCorpusMargins)];
    pg.BottomMargin = kCorpusMargins[((margins >> 4) & 7) % std::size(kCorpusMargins)];
    pg.LeftMargin = kCorpusMargins[((flags >> 3) & 15) % std::size(kCorpusMargins)];
    pg.HeightString = kCorpusHeights[height % std::size(kCorpusHeights)];
    pg.PenWidth = (margins & 0x80) ? 2 : 0;
    pg.FitWidth = (device & 8) ? 1 : 0;
}

}  // namespace folvek::test
