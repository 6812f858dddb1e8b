// Pictures for the Qt device's drawing tests: a white page to draw on and whether a pixel is ink.
#pragma once

#include <QColor>
#include <QImage>

namespace folvek::test {

inline QImage whiteImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline bool ink(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

}  // namespace folvek::test
