// The editor's font from the settings' face and character set. The faces installed differ from
// machine to machine, so every case picks its faces from this machine's font database and
// skips what the machine cannot show (no face lacking Cyrillic, say).
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include "editor_font.h"

using namespace folvek;

namespace {

bool hasFamily(const QStringList& families, const QString& name) {
    return families.contains(name, Qt::CaseInsensitive);
}

// A face for `script` that is not fixed-pitch and is not the system's fixed font: taking it
// must be the face's own choice, not the fallback's.
QString proportionalFace(QFontDatabase::WritingSystem script) {
    for (const QString& f : QFontDatabase::families(script))
        if (!QFontDatabase::isFixedPitch(f)) return f;
    return {};
}

TEST(EditorFont, AnInstalledFaceWithTheScriptIsTaken) {
    const QString face = proportionalFace(QFontDatabase::Cyrillic);
    if (face.isEmpty()) GTEST_SKIP() << "no proportional Cyrillic face installed";
    QFont base;
    base.setItalic(true);
    base.setPointSize(13);
    const QFont font = editorFont(face.toStdString(), 204, base);
    EXPECT_EQ(font.family(), face);
    EXPECT_FALSE(font.italic()) << "the editor never writes in italics";
    EXPECT_EQ(font.pointSize(), 13) << "the size stays the control's";
    // Spaces around the name, as settings files carry them, and another letter case.
    EXPECT_EQ(editorFont("  " + face.toUpper().toStdString() + " ", 204, base).family().toLower(),
              face.toLower());
    // Character set 1 (the default) asks for no script.
    EXPECT_EQ(editorFont(face.toStdString(), 1, base).family(), face);
}

TEST(EditorFont, FixedsysAMissingFaceOrOneWithoutTheScriptBecomeFixedPitch) {
    const QStringList all = QFontDatabase::families();
    bool anyFixed = false;
    for (const QString& f : all) anyFixed = anyFixed || QFontDatabase::isFixedPitch(f);
    if (!anyFixed) GTEST_SKIP() << "no fixed-pitch face installed";
    const QFont base;
    for (const char* face : {"Fixedsys", "fixedsys", "", "No Such Face 1998"}) {
        const QFont font = editorFont(face, 204, base);
        EXPECT_TRUE(QFontDatabase::isFixedPitch(font.family()))
            << face << " -> " << font.family().toStdString();
        EXPECT_NE(font.family(), QString::fromUtf8(face));
    }
    // A face installed but without the script the character set names is not taken.
    const struct {
        std::uint8_t charSet;
        QFontDatabase::WritingSystem script;
    } kScripts[] = {{204, QFontDatabase::Cyrillic}, {161, QFontDatabase::Greek},
                    {177, QFontDatabase::Hebrew},   {178, QFontDatabase::Arabic},
                    {222, QFontDatabase::Thai},     {0, QFontDatabase::Latin},
                    {186, QFontDatabase::Latin},    {238, QFontDatabase::Latin}};
    int tried = 0;
    for (const auto& s : kScripts) {
        const QStringList with = QFontDatabase::families(s.script);
        for (const QString& f : all) {
            if (hasFamily(with, f) || QFontDatabase::isFixedPitch(f)) continue;
            EXPECT_NE(editorFont(f.toStdString(), s.charSet, base).family(), f)
                << "character set " << int(s.charSet) << " took " << f.toStdString();
            ++tried;
            break;
        }
        // And a face that has the script is taken for that character set.
        if (const QString face = proportionalFace(s.script); !face.isEmpty()) {
            EXPECT_EQ(editorFont(face.toStdString(), s.charSet, base).family(), face)
                << "character set " << int(s.charSet);
            ++tried;
        }
    }
    if (tried == 0) GTEST_SKIP() << "every installed face covers every script tried";
}

}  // namespace
