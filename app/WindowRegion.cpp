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

QImage ShownBackground(const QImage& background) {
    if (background.isNull()) return background;
    QImage img = background.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const QRgb key = img.pixel(0, h - 1) | 0xFF000000u;
    // Two rings: a smooth scaling reads up to two pixels past the outline.
    for (int ring = 0; ring < 2; ++ring) {
        const QImage before = img.copy();
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x) {
                if ((line[x] | 0xFF000000u) != key) continue;
                // The first opaque neighbour lends its colour.
                for (int dy = -1; dy <= 1 && (line[x] | 0xFF000000u) == key; ++dy) {
                    if (y + dy < 0 || y + dy >= h) continue;
                    const auto* near = reinterpret_cast<const QRgb*>(before.constScanLine(y + dy));
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (x + dx < 0 || x + dx >= w || (near[x + dx] | 0xFF000000u) == key) continue;
                        line[x] = near[x + dx];
                        break;
                    }
                }
            }
        }
    }
    return img;
}

}  // namespace zel
