// The status bar's file-name field: a path too long for it loses the middle of its folders
// first and keeps the file name whole; only a name that cannot fit is cut itself.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "path_field.h"

using namespace folvek;

namespace {

const QChar kEllipsis(0x2026);

// A field whose text area is `width` pixels.
int fieldWidthFor(PathField& field, int width) {
    field.resize(width + field.width() - field.contentsRect().width() + 2 * field.margin(), 30);
    return width;
}

}  // namespace

TEST(PathField, TheMiddleOfTheFoldersGoesFirstThenTheName) {
    PathField field;
    field.setMargin(2);
    const QString name = QStringLiteral("/итоги-за-год.prn");
    const QString path = QStringLiteral("/home/user/отчёты/склад/2026/декабрь") + name;
    field.setPath(path);
    EXPECT_EQ(field.toolTip(), path);
    const QFontMetrics fm = field.fontMetrics();

    // Room for all of it, to the pixel: the whole path.
    fieldWidthFor(field, fm.horizontalAdvance(path));
    EXPECT_EQ(field.shownText(), path);

    // Room for the name and part of the folders.
    const int half =
        fieldWidthFor(field, fm.horizontalAdvance(name) + fm.horizontalAdvance(path) / 3);
    QString shown = field.shownText();
    EXPECT_TRUE(shown.endsWith(name)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/h"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(kEllipsis)) << shown.toStdString();
    EXPECT_LE(fm.horizontalAdvance(shown), half);

    // Not even room for the name: the whole path is cut in its middle.
    const int narrow = fieldWidthFor(field, fm.horizontalAdvance(name) * 2 / 3);
    shown = field.shownText();
    EXPECT_FALSE(shown.endsWith(name)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(kEllipsis)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QLatin1Char('/'))) << shown.toStdString();
    EXPECT_LE(fm.horizontalAdvance(shown), narrow);

    // At every width from too narrow for the name to wide enough for all: the text fits, and a
    // file name shown whole keeps some of its folders before it, never a lone ellipsis.
    field.setPath(path);
    for (int w = fm.horizontalAdvance(name) - 10; w <= fm.horizontalAdvance(path) + 2; ++w) {
        fieldWidthFor(field, w);
        shown = field.shownText();
        EXPECT_LE(fm.horizontalAdvance(shown), w) << w;
        if (shown.endsWith(name)) {
            EXPECT_GT(shown.size() - name.size(), 2) << shown.toStdString();
        }
    }

    // A name without folders, or right under the root, is cut in its middle too.
    for (const QString& bare : {QStringLiteral("итоги-за-весь-прошлый-год.prn"),
                                QStringLiteral("/итоги-за-весь-прошлый-год.prn")}) {
        field.setPath(bare);
        const int room = fieldWidthFor(field, fm.horizontalAdvance(bare) / 2);
        shown = field.shownText();
        EXPECT_EQ(shown, fm.elidedText(bare, Qt::ElideMiddle, room)) << bare.toStdString();
    }
}
