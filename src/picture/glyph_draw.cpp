#include "picture/glyph_draw.h"

#include "picture/image_cache.h"
#include "picture/text_geometry.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int glyphCacheKiB = 16384;
} // namespace

ImageCache &glyphPictureCache()
{
	thread_local ImageCache cache(glyphCacheKiB);
	return cache;
}

double glyphWidthAt(const QImage &image, double height)
{
	return image.width() * height / std::max(1, image.height());
}

void drawGlyph(QPainter &painter, const QRectF &rect, const QImage &image)
{
	if (image.isNull() || rect.height() < 1)
		return;
	const int height = std::max(1, static_cast<int>(std::lround(rect.height())));
	const QString key = QStringLiteral("%1|%2").arg(image.cacheKey()).arg(height);
	ImageCache &cache = glyphPictureCache();
	if (const QImage *cached = cache.find(key)) {
		painter.drawImage(rect, *cached);
		return;
	}
	const QImage scaled = image.height() == height ? image : image.scaledToHeight(height, Qt::SmoothTransformation);
	cache.insert(key, scaled);
	painter.drawImage(rect, scaled);
}

void drawGlyphAligned(QPainter &painter, const QRectF &rect, double height, const QImage &image, int align)
{
	const double width = glyphWidthAt(image, height);
	const double left = alignedLeft(rect, width, align);
	drawGlyph(painter, QRectF(left, rect.center().y() - height * 0.5, width, height), image);
}
