#pragma once
// The window's outline, cut out of its background picture: the colour of the
// bottom-left pixel is see-through, every other pixel belongs to the window.
// The region is built row by row from runs of opaque pixels.
#include <QImage>
#include <QRegion>

namespace zel {

QRegion BuildWindowRegion(const QImage& background);

}  // namespace zel
