// Logical fonts realised as Qt fonts, cached for the whole process: resolving a face through
// fontconfig and building its glyph tables is far too slow to repeat for every page or run.
#pragma once

#include <QFont>
#include <QRawFont>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "log_font.h"

namespace folvek {

// A logical font's face, independent of size: metrics are per em.
struct FontFace {
    LogFont key;
    QFont font;    // family, weight, slant, underline as resolved
    QRawFont raw;  // the face file, for glyph lookup
    quint32 glyph[256] = {};
    float advance[256] = {};  // per em
    bool missing[256] = {};   // the face has no glyph: such text is drawn with font fallback
    bool anyMissing = false;
    double ascent = 0, descent = 0, leading = 0;  // per em
    double emPerUnit = 1;     // em size in logical units per unit of |LogFont::height|
    double aveCharWidth = 0;  // per em
};

// A face realised at one device pixel size.
struct SizedFont {
    const FontFace* face = nullptr;
    double emPx = 0;   // em height in device pixels
    QRawFont raw;      // at emPx, for glyph runs
    QFont deviceFont;  // the face for engines that need characters (SVG) and fallback; sized by the
                       // user
    bool underline = false;
    bool strikeOut = false;
};

class FontCache {
  public:
    static FontCache& instance();
    // `unitPx` is device pixels per logical unit vertically (always positive).
    const SizedFont& realise(const LogFont& font, double unitPx);
    const FontFace& face(const LogFont& font);
    void clear();
    // Changes whenever cached fonts are freed: pointers taken before are then stale.
    std::uint64_t generation() const { return generation_; }

    // The family a face name resolves to: "fixedsys" and faces that no installed font matches
    // become the system's monospace font.
    static QString familyFor(const char* faceName);

  private:
    FontCache() = default;
    std::vector<std::unique_ptr<FontFace>> faces_;
    std::vector<std::unique_ptr<SizedFont>> sized_;
    std::uint64_t generation_ = 0;
};

}  // namespace folvek
