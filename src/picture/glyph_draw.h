#pragma once

#include <QImage>
#include <QRectF>

class ImageCache;
class QPainter;

// Draws a picture into a rectangle, from this thread's cache of copies scaled to the
// rectangle's whole-pixel height.
void drawGlyph(QPainter &painter, const QRectF &rect, const QImage &image);
// Draws a picture at `height`, vertically centred in `rect` and aligned horizontally.
void drawGlyphAligned(QPainter &painter, const QRectF &rect, double height, const QImage &image, int align);

// The width of a picture shown `height` high (a picture of height 0 counts as 1).
double glyphWidthAt(const QImage &image, double height);

// The scaled pictures of the calling thread.
ImageCache &glyphPictureCache();
