// The elided file-name field.
#include "path_field.h"

#include <QPainter>
#include <QStyle>

namespace folvek {

PathField::PathField(QWidget* parent) : QLabel(parent) {}

void PathField::setPath(const QString& path) {
    setText(path);
    setToolTip(path);
}

QRect PathField::textRect() const {
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

QString PathField::shownText() const {
    const QFontMetrics fm = fontMetrics();
    const QString path = text();
    const int width = textRect().width();
    if (fm.horizontalAdvance(path) <= width) return path;
    // The middle goes, from the directories first: the file name is what tells documents apart.
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0) {
        const QString name = path.mid(slash);
        const int room = width - fm.horizontalAdvance(name);
        const QString dir = fm.elidedText(path.left(slash), Qt::ElideMiddle, room);
        if (room > fm.horizontalAdvance(QStringLiteral("/\u2026/")) && dir.size() > 2)
            return dir + name;
    }
    return fm.elidedText(path, Qt::ElideMiddle, width);
}

void PathField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, textRect(), int(alignment()), palette(), isEnabled(),
                          shownText(), foregroundRole());
}

}  // namespace folvek
