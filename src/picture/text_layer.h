#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

class ImageCache;
class QPainter;
struct PresetStyle;

// Where a text layer for `rect` sits: its whole-pixel origin and the rectangle's offset
// from it, so a cached layer lands on exactly the same sub-pixel position.
struct TextLayerPlace {
	QPointF origin;
	QPointF offset;
	int pad = 0;
};
TextLayerPlace textLayerPlace(const PresetStyle &style, const QFont &font, const QRectF &rect);

// The cache key: everything that changes the layer's pixels.
QString textLayerKey(const PresetStyle &style, const QFont &font, const QString &text, const QRectF &rect,
		     const QPointF &offset);

// Draws a steady text (title, end text, message) through this thread's layer cache: the
// outlined text is rendered once into a transparent layer, later calls draw that image.
// The painter's transform and opacity apply to the finished layer.
void drawTextLayer(QPainter &painter, const PresetStyle &style, const QFont &font, const QString &text,
		   const QRectF &rect);

// The text layers of the calling thread.
ImageCache &textLayerCache();
