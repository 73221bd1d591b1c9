#pragma once
// The window's outline, cut out of its background picture: the colour of the
// bottom-left pixel is see-through, every other pixel belongs to the window.
// The region is built row by row from runs of opaque pixels.
#include <QImage>
#include <QRegion>

namespace zel {

QRegion BuildWindowRegion(const QImage& background);

// The background as it is shown: the see-through pixels within two of the
// outline take the colour of an opaque neighbour. They lie outside the
// region, but a scaled screen draws the picture smoothly and rounds the
// region's edges, which would otherwise leave a magenta fringe.
QImage ShownBackground(const QImage& background);

}  // namespace zel
