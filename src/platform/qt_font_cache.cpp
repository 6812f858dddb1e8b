// Realising logical fonts: face resolution, per-byte glyph tables and sized raw fonts.
#include "qt_font_cache.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>
#include <cstring>

#include "codepage.h"

namespace folvek {

namespace {

// Metrics are taken from the face at this em size, large enough that hinting cannot bend them.
constexpr double kReferencePx = 512.0;

bool equalsIgnoreCase(const char* a, const char* b) {
    return QString::fromLatin1(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString resolvedFamily(const QString& family) {
    QFont f(family);
    f.setStyleHint(QFont::TypeWriter);
    return QFontInfo(f).family();
}

void clearCacheAtExit() {
    FontCache::instance().clear();
}

}  // namespace

FontCache& FontCache::instance() {
    static FontCache* cache = [] {
        // Qt fonts must be gone before the application object; the cache outlives no app.
        qAddPostRoutine(clearCacheAtExit);
        return new FontCache;
    }();
    return *cache;
}

void FontCache::clear() {
    ++generation_;
    sized_.clear();
    faces_.clear();
}

QString FontCache::familyFor(const char* faceName) {
    static const QString monospace = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    if (!faceName || !*faceName || equalsIgnoreCase(faceName, "fixedsys")) return monospace;
    const QString name = QString::fromLocal8Bit(faceName);
    if (QFontDatabase::hasFamily(name)) return name;
    // fontconfig answers an unknown name with its default face; a known alias ("Courier New")
    // resolves to something else (Liberation Mono).
    static const QString unknown = resolvedFamily(QStringLiteral("folvek-no-such-face"));
    const QString resolved = resolvedFamily(name);
    if (resolved.isEmpty() || resolved == unknown) return monospace;
    return resolved;
}

const FontFace& FontCache::face(const LogFont& lf) {
    for (const auto& f : faces_)
        if (f->key == lf) return *f;
    if (faces_.size() > 64) clear();

    auto face = std::make_unique<FontFace>();
    face->key = lf;
    QFont font(familyFor(lf.faceName));
    font.setStyleHint(QFont::TypeWriter);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setWeight(QFont::Weight(std::clamp<int>(lf.weight <= 0 ? 400 : lf.weight, 1, 1000)));
    font.setItalic(lf.italic != 0);
    font.setUnderline(lf.underline != 0);
    font.setStrikeOut(lf.strikeOut != 0);
    font.setPixelSize(int(kReferencePx));
    face->font = font;
    face->raw = QRawFont::fromFont(font, QFontDatabase::Cyrillic);
    face->raw.setPixelSize(kReferencePx);

    const char16_t* uni = ansiToUnicodeTable();
    QChar chars[256];
    for (int i = 0; i < 256; ++i) chars[i] = QChar(uni[i] < 0x20 ? u' ' : uni[i]);
    int count = 256;
    if (!face->raw.isValid() || !face->raw.glyphIndexesForChars(chars, 256, face->glyph, &count)) {
        std::fill(std::begin(face->missing), std::end(face->missing), true);
    }
    QPointF adv[256];
    if (face->raw.isValid())
        face->raw.advancesForGlyphIndexes(face->glyph, adv, 256, QRawFont::UseDesignMetrics);
    QFontMetricsF fallback(font);
    for (int i = 0; i < 256; ++i) {
        if (face->glyph[i] == 0 && chars[i] != QChar(u' ')) face->missing[i] = true;
        face->advance[i] = float(
            (face->missing[i] ? fallback.horizontalAdvance(chars[i]) : adv[i].x()) / kReferencePx);
        face->anyMissing |= face->missing[i];
    }
    if (face->raw.isValid()) {
        face->ascent = face->raw.ascent() / kReferencePx;
        face->descent = face->raw.descent() / kReferencePx;
        face->leading = face->raw.leading() / kReferencePx;
    } else {
        face->ascent = fallback.ascent() / kReferencePx;
        face->descent = fallback.descent() / kReferencePx;
        face->leading = fallback.leading() / kReferencePx;
    }
    face->aveCharWidth = face->advance[static_cast<unsigned char>('x')];
    // A positive height asks for a cell (ascent + descent) of that size, a negative one for the
    // em itself.
    const double cell = face->ascent + face->descent;
    face->emPerUnit = (lf.height > 0 && cell > 0) ? 1.0 / cell : 1.0;
    faces_.push_back(std::move(face));
    return *faces_.back();
}

const SizedFont& FontCache::realise(const LogFont& lf, double unitPx) {
    const FontFace& f = face(lf);
    const double units = lf.height == 0 ? 13.0 : std::abs(double(lf.height));
    const double emPx = units * f.emPerUnit * unitPx;
    for (const auto& s : sized_)
        if (s->face == &f && s->emPx == emPx) return *s;
    if (sized_.size() > 256) {
        ++generation_;
        sized_.clear();
    }

    auto s = std::make_unique<SizedFont>();
    s->face = &f;
    s->emPx = emPx;
    s->raw = f.raw;
    if (s->raw.isValid()) s->raw.setPixelSize(std::max(emPx, 0.01));
    s->deviceFont = f.font;
    s->underline = lf.underline != 0;
    s->strikeOut = lf.strikeOut != 0;
    sized_.push_back(std::move(s));
    return *sized_.back();
}

}  // namespace folvek
