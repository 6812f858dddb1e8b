// The template dialogs measured in the font they are shown in: no text of a control is wider
// than the control, no wrapped text runs out of its box, and what a group holds lies inside the
// group's frame, at the screen's own resolution and at one and a half times it (144 dpi: the
// template's font half as large again, which is what that resolution does to it).
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "about_dialog.h"
#include "dialog_template.h"
#include "editor_template.h"
#include "param_dialog.h"
#include "param_template.h"
#include "report_view.h"
#include "settings_ui_fixture.h"

using namespace folvek;
using folvek::test::SettingsUiTest;

namespace {

// Every fault of fit in the dialog, one line each.
std::vector<std::string> misfits(const QDialog& d) {
    std::vector<std::string> out;
    auto bad = [&](const QWidget* w, const QString& text, const char* what) {
        out.push_back((text + QStringLiteral(": ") + QString::fromLatin1(what)).toStdString());
        (void)w;
    };
    const QList<QWidget*> controls = d.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* w : controls) {
        if (w->isHidden()) continue;
        const QFontMetrics fm(w->font());
        const QRect r = w->geometry();
        if (!QRect(QPoint(0, 0), d.size()).contains(r)) bad(w, w->objectName(), "outside");
        if (auto* l = qobject_cast<const QLabel*>(w)) {
            for (const QString& word : l->text().split(QRegularExpression(QStringLiteral("\\s+"))))
                if (fm.horizontalAdvance(word) > r.width()) bad(w, l->text(), "word cut");
            if (!l->text().isEmpty() && l->heightForWidth(r.width()) > r.height())
                bad(w, l->text(), "lines cut");
        } else if (auto* b = qobject_cast<const QPushButton*>(w)) {
            QString text = b->text();
            text.remove(QLatin1Char('&'));
            if (fm.horizontalAdvance(text) + 4 > r.width()) bad(w, text, "button cut");
        } else if (auto* c = qobject_cast<const QAbstractButton*>(w)) {
            if (c->sizeHint().width() > r.width()) bad(w, c->text(), "box cut");
        } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
            if (fm.horizontalAdvance(g->title()) + 2 * fm.averageCharWidth() > r.width())
                bad(w, g->title(), "title cut");
            // What lies in the group's rectangle lies inside its frame (drawn half a line
            // below the group's top, through its title) and clear of the title.
            const QRect inside = r.adjusted(1, fm.height() / 2 + 1, -1, -1);
            const QRect title(r.x(), r.y(), fm.horizontalAdvance(g->title()) + 12, fm.height());
            for (const QWidget* other : controls)
                if (other != w && !qobject_cast<const QGroupBox*>(other) &&
                    r.contains(other->geometry().center()) &&
                    (!inside.contains(other->geometry()) || title.intersects(other->geometry())))
                    bad(other, g->title() + QStringLiteral(" / ") + other->objectName(),
                        "crosses the group's frame");
            // The frame is drawn there: the style sheet of the template's groups.
            if (g->styleSheet().isEmpty()) bad(w, g->title(), "frame under the title");
        } else if (auto* c = qobject_cast<const QComboBox*>(w)) {
            for (int i = 0; i < c->count(); ++i)
                if (fm.horizontalAdvance(c->itemText(i)) + 20 > r.width())
                    bad(w, c->itemText(i), "list entry cut");
        }
    }
    return out;
}

DialogTemplate scaled(const DialogTemplate& t, double by) {
    DialogTemplate s = t;
    s.pointSize = static_cast<int>(std::lround((t.pointSize > 0 ? t.pointSize : 8) * by));
    return s;
}

}  // namespace

TEST_F(SettingsUiTest, TheParametersDialogFitsItsRussianTexts) {
    start();
    ParamDialog d(doc(), &view());
    d.show();
    EXPECT_EQ(misfits(d), std::vector<std::string>{});
    d.hide();
}

TEST(DialogFit, EveryTemplateFitsAtTheScreensResolutionAndAtOneAndAHalfTimesIt) {
    for (const DialogTemplate* t : {&aboutTemplate(), &paramTemplate(), &editorTemplate()})
        for (double by : {1.0, 1.5}) {
            QDialog d;
            buildDialog(&d, scaled(*t, by));
            d.show();
            EXPECT_EQ(misfits(d), std::vector<std::string>{}) << t->name << " × " << by;
            d.hide();
        }
}

// Enter presses the template's default button and no other: the About box's OK is default,
// the editor's OK and "Отмена" are plain buttons that Enter in the text never presses.
TEST(DialogTemplate, OnlyTheDefaultButtonIsDefault) {
    const auto defaults = [](const DialogTemplate& t) {
        QDialog d;
        buildDialog(&d, t);
        std::vector<std::string> out;
        for (const QPushButton* b : d.findChildren<QPushButton*>()) {
            EXPECT_FALSE(b->autoDefault()) << b->text().toStdString();
            if (b->isDefault()) out.push_back(b->text().toStdString());
        }
        return out;
    };
    EXPECT_EQ(defaults(aboutTemplate()), std::vector<std::string>{"OK"});
    EXPECT_EQ(defaults(editorTemplate()), std::vector<std::string>{});
}
