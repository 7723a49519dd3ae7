#include "picture/text_layer.h"

#include "picture/image_cache.h"
#include "picture/text_geometry.h"
#include "picture/text_paths.h"
#include "settings/preset.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int layerCacheKiB = 32768;

QString twoDecimals(double value)
{
	return QString::number(value, 'f', 2);
}

} // namespace

ImageCache &textLayerCache()
{
	thread_local ImageCache cache(layerCacheKiB);
	return cache;
}

TextLayerPlace textLayerPlace(const PresetStyle &style, const QFont &font, const QRectF &rect)
{
	TextLayerPlace place;
	place.pad = static_cast<int>(std::ceil(styleOutlineWidth(style) + font.pixelSize() * 0.1 + 2));
	place.origin = QPointF(std::floor(rect.x() - place.pad), std::floor(rect.y() - place.pad));
	place.offset = rect.topLeft() - place.origin;
	return place;
}

QString textLayerKey(const PresetStyle &style, const QFont &font, const QString &text, const QRectF &rect,
		     const QPointF &offset)
{
	return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
		.arg(text, font.key(), style.color.name(QColor::HexArgb), style.outline.name(QColor::HexArgb),
		     QString::number(styleOutlineWidth(style)), QString::number(style.align), twoDecimals(rect.width()),
		     twoDecimals(rect.height()),
		     QStringLiteral("%1,%2").arg(twoDecimals(offset.x()), twoDecimals(offset.y())));
}

void drawTextLayer(QPainter &painter, const PresetStyle &style, const QFont &font, const QString &text,
		   const QRectF &rect)
{
	if (text.isEmpty() || rect.width() <= 1 || rect.height() <= 1)
		return;

	const TextLayerPlace place = textLayerPlace(style, font, rect);
	const QString key = textLayerKey(style, font, text, rect, place.offset);
	ImageCache &cache = textLayerCache();
	if (const QImage *layer = cache.find(key)) {
		painter.drawImage(place.origin, *layer);
		return;
	}

	const int width = static_cast<int>(std::ceil(2 * place.pad + rect.width() + 2));
	const int height = static_cast<int>(std::ceil(2 * place.pad + rect.height() + 2));
	QImage layer(width, height, QImage::Format_ARGB32_Premultiplied);
	layer.fill(Qt::transparent);
	QPainter layerPainter(&layer);
	layerPainter.setRenderHint(QPainter::Antialiasing);
	layerPainter.translate(place.offset);
	drawFittedText(layerPainter, style, font, text, QRectF(0, 0, rect.width(), rect.height()));
	layerPainter.end();

	painter.drawImage(place.origin, layer);
	cache.insert(key, layer);
}
