// Finding faces through fontconfig and reading their metrics with HarfBuzz.
#include "pdf_font.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "codepage.h"
#include "pdf_font_maps.h"

namespace folvek {

namespace {

bool equalsIgnoreCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

std::uint16_t be16(const char* p) {
    return std::uint16_t((std::uint8_t(p[0]) << 8) | std::uint8_t(p[1]));
}
std::int16_t sbe16(const char* p) {
    return std::int16_t(be16(p));
}

// A table of the face, or an empty view.
std::string_view table(hb_face_t* face, const char* tag, hb_blob_t** keep) {
    *keep = hb_face_reference_table(face, hb_tag_from_string(tag, 4));
    unsigned len = 0;
    const char* data = hb_blob_get_data(*keep, &len);
    return {data ? data : "", data ? len : 0};
}

// Metrics the renderer and the font descriptor need; false when the face is unusable.
bool readMetrics(PdfFont& f) {
    if (hb_face_get_glyph_count(f.face) == 0) return false;
    hb_blob_t *glyf = nullptr, *cff = nullptr;
    const bool hasGlyf = !table(f.face, "glyf", &glyf).empty();
    const bool hasCff = !table(f.face, "CFF ", &cff).empty();
    hb_blob_destroy(glyf);
    hb_blob_destroy(cff);
    if (!hasGlyf && !hasCff) return false;
    f.cff = !hasGlyf;
    f.upem = std::max(1u, hb_face_get_upem(f.face));

    hb_font_t* font = hb_font_create(f.face);
    const double upem = f.upem;
    hb_font_extents_t ext{};
    hb_font_get_h_extents(font, &ext);
    f.ascent = ext.ascender / upem;
    f.descent = -ext.descender / upem;
    f.leading = ext.line_gap / upem;

    const char16_t* uni = ansiToUnicodeTable();
    hb_codepoint_t space = 0;
    hb_font_get_nominal_glyph(font, ' ', &space);
    for (int i = 0; i < 256; ++i) {
        const hb_codepoint_t u = printedUnicode(uni, i);
        hb_codepoint_t g = 0;
        if (!hb_font_get_nominal_glyph(font, u, &g) || (g == 0 && u != ' ')) {
            f.missing[i] = true;
            g = 0;
        }
        f.glyph[i] = g;
        f.advance[i] = float(hb_font_get_glyph_h_advance(font, g) / upem);
    }
    f.aveCharWidth = f.advance[static_cast<unsigned char>('x')];

    hb_blob_t* keep = nullptr;
    const std::string_view head = table(f.face, "head", &keep);
    if (head.size() >= 44)
        for (int k = 0; k < 4; ++k) f.bbox[k] = sbe16(head.data() + 36 + 2 * k);
    hb_blob_destroy(keep);
    const std::string_view post = table(f.face, "post", &keep);
    if (post.size() >= 16) {
        f.italicAngle = sbe16(post.data() + 4) + be16(post.data() + 6) / 65536.0;
        f.fixedPitch = (std::uint8_t(post[12]) | std::uint8_t(post[13]) | std::uint8_t(post[14]) |
                        std::uint8_t(post[15])) != 0;
    }
    hb_blob_destroy(keep);
    const std::string_view os2 = table(f.face, "OS/2", &keep);
    f.capHeight = os2.size() >= 90 ? sbe16(os2.data() + 88) : int(f.ascent * upem);
    hb_blob_destroy(keep);

    unsigned len = 64;
    char name[64] = {};
    hb_ot_name_get_utf8(f.face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &len, name);
    f.postScriptName.clear();
    for (const char* p = name; *p; ++p)  // PDF names want plain characters
        if (std::isalnum(static_cast<unsigned char>(*p)) || *p == '-') f.postScriptName += *p;
    if (f.postScriptName.empty()) f.postScriptName = "Font";
    hb_font_destroy(font);
    return true;
}

}  // namespace

PdfFont::~PdfFont() {
    hb_face_destroy(face);
    hb_blob_destroy(blob);
}

std::string defaultFontFamily(const LogFont& font) {
    if (!font.faceName[0] || equalsIgnoreCase(font.faceName, "fixedsys")) return "monospace";
    return font.faceName;
}

PdfFontSet::PdfFontSet(FontFamilyMapper mapper)
    : mapper_(mapper ? std::move(mapper) : FontFamilyMapper(defaultFontFamily)) {}

std::string PdfFontSet::error() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

std::vector<std::string> PdfFontSet::warnings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return warnings_;
}

void PdfFontSet::markUsed(int index, const bool* used) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 1 || index > int(fonts_.size())) return;
    bool* mine = fonts_[std::size_t(index - 1)]->used;
    for (int i = 0; i < 256; ++i) mine[i] = mine[i] || used[i];
}

PdfFontSet::~PdfFontSet() = default;

std::unique_ptr<PdfFont> PdfFontSet::load(const std::string& family, int weight, bool italic) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    const int fcWeight = FcWeightFromOpenType(std::clamp(weight <= 0 ? 400 : weight, 1, 1000));
    FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* candidates = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    std::unique_ptr<PdfFont> found;
    for (int i = 0; candidates && i < candidates->nfont && !found; ++i) {
        FcPattern* c = candidates->fonts[i];
        FcChar8* file = nullptr;
        int index = 0;
        FcBool scalable = FcTrue;
        if (FcPatternGetString(c, FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(c, FC_INDEX, 0, &index);
        FcPatternGetBool(c, FC_SCALABLE, 0, &scalable);
        if (!scalable) continue;
        const char* path = reinterpret_cast<const char*>(file);
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(path);
        if (!blob) {
            warnings_.push_back(std::string("cannot read the font file ") + path +
                                ", using the next match");
            continue;
        }
        auto f = std::make_unique<PdfFont>();
        f->blob = blob;
        f->face = hb_face_create(blob, unsigned(index));
        f->file = path;
        if (!readMetrics(*f)) {
            warnings_.push_back(std::string("cannot use the font file ") + path +
                                ", using the next match");
            continue;
        }
        int gotWeight = FC_WEIGHT_REGULAR, gotSlant = FC_SLANT_ROMAN;
        FcPatternGetInteger(c, FC_WEIGHT, 0, &gotWeight);
        FcPatternGetInteger(c, FC_SLANT, 0, &gotSlant);
        f->syntheticBold = fcWeight >= FC_WEIGHT_DEMIBOLD && gotWeight < FC_WEIGHT_DEMIBOLD;
        f->italic = gotSlant != FC_SLANT_ROMAN;
        found = std::move(f);
    }
    if (candidates) FcFontSetDestroy(candidates);
    return found;
}

PdfFont* PdfFontSet::realise(const LogFont& lf) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& e : byLogFont_)
        if (e.key.weight == lf.weight && e.key.italic == lf.italic &&
            std::strcmp(e.key.faceName, lf.faceName) == 0)
            return e.font;
    const std::string family = mapper_(lf);
    std::unique_ptr<PdfFont> f = load(family, lf.weight, lf.italic != 0);
    if (!f) {
        if (error_.empty()) error_ = "no installed font can be used for \"" + family + "\"";
        return nullptr;
    }
    PdfFont* same = nullptr;
    for (const auto& have : fonts_)
        if (have->file == f->file && have->syntheticBold == f->syntheticBold &&
            hb_face_get_index(have->face) == hb_face_get_index(f->face))
            same = have.get();
    if (!same) {
        f->index = int(fonts_.size()) + 1;
        fonts_.push_back(std::move(f));
        same = fonts_.back().get();
    }
    byLogFont_.push_back({lf, same});
    return same;
}

}  // namespace folvek
