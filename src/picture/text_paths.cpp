#include "picture/text_paths.h"

#include "picture/fonts.h"
#include "picture/text_geometry.h"
#include "settings/preset.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QPen roundPen(const QColor &color, double width)
{
	return QPen(QBrush(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void drawOutlinedPath(QPainter &painter, const QPainterPath &path, const PresetStyle &style, double fillPen)
{
	const double outline = styleOutlineWidth(style);
	if (outline > 0) {
		painter.setPen(roundPen(style.outline, 2 * outline + fillPen));
		painter.setBrush(style.outline);
		painter.drawPath(path);
	}
	if (fillPen > 0)
		painter.setPen(roundPen(style.color, fillPen));
	else
		painter.setPen(Qt::NoPen);
	painter.setBrush(style.color);
	painter.drawPath(path);
}

void drawFittedText(QPainter &painter, const PresetStyle &style, QFont font, const QString &text, const QRectF &rect)
{
	double advance = QFontMetricsF(font).horizontalAdvance(text);
	if (advance > rect.width()) {
		font.setPixelSize(std::max(1, static_cast<int>(std::floor(font.pixelSize() * rect.width() / advance))));
		advance = QFontMetricsF(font).horizontalAdvance(text);
	}
	const QFontMetricsF metrics(font);
	const double baseline = rect.center().y() + (metrics.ascent() - metrics.descent()) * 0.5;
	const double left = alignedLeft(rect, advance, style.align);

	QPainterPath path;
	path.addText(left, baseline, font, text);
	drawOutlinedPath(painter, path, style, fillStrokeWidth(style, font));
}
