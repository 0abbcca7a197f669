#pragma once

#include <QImage>

// Counts the pixels that stand out from the top-left one, taken as the background: whether a
// button or a toolbar shows a picture at all, whatever the picture.
inline int shapePixels(const QImage &image)
{
    const QRgb background = image.pixel(0, 0);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 12 ? 1 : 0;
    return count;
}
