#pragma once
// The transparent picture copy: a rectangle of a picture is copied onto a drawing surface with one
// colour left out. The logos and images of the sign are drawn this way with black as the left-out
// colour, and the buttons draw their pictures this way with their mask colour.

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

namespace lumafex::controls {

// The part `area` of `source` (clipped to the picture) as a 32-bit ARGB image in which every pixel of
// colour `key` is fully transparent; the alpha of `key` and of the pixels is ignored in the comparison.
// The other pixels keep their colour, and their alpha when the picture has an alpha channel (pictures
// without one come out opaque).
QImage keyedImage(const QImage& source, const QRect& area, QColor key);

// Copies the `width` x `height` rectangle of `source` whose top-left corner is (sourceX, sourceY) onto
// `target` at (x, y), pixel for pixel: a pixel of colour `transparent` leaves the target unchanged,
// every other pixel replaces it. The part of the rectangle that lies outside the source is not drawn.
// Copies do not nest: a call made while another copy is in progress returns false at once, as does a
// call on a painter that is not active. Otherwise returns true.
bool 绘透明图(QPainter& target, int x, int y, int width, int height, const QImage& source, int sourceX,
              int sourceY, QColor transparent);

}  // namespace lumafex::controls
