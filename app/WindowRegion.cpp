#include "app/WindowRegion.h"

#include <QVector>

namespace zel {

QRegion BuildWindowRegion(const QImage& background) {
    QRegion region;
    if (background.isNull()) return region;
    const QImage img = background.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const QRgb key = img.pixel(0, h - 1) | 0xFF000000u;
    // Runs of one row never overlap and rows come top to bottom, so the
    // rectangles are already in the banded order a region is made of.
    QVector<QRect> rects;
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < w) {
            const bool opaque = (line[x] | 0xFF000000u) != key;
            int end = x;
            while (end + 1 < w && (((line[end + 1] | 0xFF000000u) != key) == opaque)) ++end;
            if (opaque) rects.append(QRect(QPoint(x, y), QPoint(end, y)));
            x = end + 1;
        }
    }
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
    return region;
}

}  // namespace zel
