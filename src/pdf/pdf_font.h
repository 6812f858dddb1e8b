// Fonts of a PDF document: a logical font found through fontconfig, its metrics for the 256
// Windows-1251 bytes read with HarfBuzz, and which bytes the pages used, so that the embedded
// subset holds exactly those glyphs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "log_font.h"

struct hb_face_t;
struct hb_blob_t;

namespace folvek {

// The family a logical font's face name stands for ("Courier New" may become "Liberation
// Mono"); the Qt layers pass their own resolution so that both engines use the same face.
using FontFamilyMapper = std::function<std::string(const LogFont&)>;

struct PdfFont {
    PdfFont() = default;
    PdfFont(const PdfFont&) = delete;
    PdfFont& operator=(const PdfFont&) = delete;
    ~PdfFont();

    int index = 0;         // resource name /F<index>
    int objectNumber = 0;  // the font dictionary, given when it is written
    std::string file;      // the face's file, for messages
    std::string postScriptName;
    hb_blob_t* blob = nullptr;
    hb_face_t* face = nullptr;
    bool cff = false;  // CFF outlines instead of TrueType glyphs
    unsigned upem = 1000;

    // Per byte of Windows-1251.
    std::uint32_t glyph[256] = {};
    float advance[256] = {};  // per em
    bool missing[256] = {};
    bool used[256] = {};  // bytes some page drew; changed only through PdfFontSet::markUsed

    double ascent = 0, descent = 0, leading = 0;  // per em, descent positive
    double aveCharWidth = 0;                      // per em
    bool fixedPitch = false;
    bool italic = false;
    bool syntheticBold = false;  // the face found is lighter than asked: stroke the outlines
    double italicAngle = 0;
    int bbox[4] = {0, 0, 0, 0};  // font units
    int capHeight = 0;           // font units
};

// Shared by the devices of all pages; realise and markUsed may be called from any thread.
class PdfFontSet {
  public:
    explicit PdfFontSet(FontFamilyMapper mapper);
    ~PdfFontSet();

    // Null when no installed font could be opened; error() says why. The font stays valid
    // as long as the set.
    PdfFont* realise(const LogFont& font);
    // Adds the bytes a page drew with font number `index` (1-based).
    void markUsed(int index, const bool* used);
    // After every page is drawn: read without locking.
    const std::vector<std::unique_ptr<PdfFont>>& fonts() const { return fonts_; }
    std::string error() const;
    // Faces that could not be read and were passed over, for the user.
    std::vector<std::string> warnings() const;

  private:
    struct Entry {
        LogFont key;
        PdfFont* font;
    };
    std::unique_ptr<PdfFont> load(const std::string& family, int weight, bool italic);

    FontFamilyMapper mapper_;
    mutable std::mutex mutex_;
    std::vector<Entry> byLogFont_;
    std::vector<std::unique_ptr<PdfFont>> fonts_;
    std::string error_;
    std::vector<std::string> warnings_;
};

// The default mapping: the face name itself, "fixedsys" and an empty name as "monospace".
std::string defaultFontFamily(const LogFont& font);

}  // namespace folvek
