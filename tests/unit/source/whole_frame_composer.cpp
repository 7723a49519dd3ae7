// The composer as it was before the picture was drawn in layers, kept for the tests only:
// the layers must give the frames it gave.
#include "whole_frame_composer.h"

#include "picture/fonts.h"
#include "picture/frame_layout.h"
#include "picture/frame_motion.h"
#include "picture/glyph_draw.h"
#include "picture/glyph_images.h"
#include "picture/messages.h"
#include "picture/text_geometry.h"
#include "picture/text_layer.h"
#include "picture/text_paths.h"
#include "settings/preset.h"
#include "show/show_state.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

void scaleAbout(QPainter &painter, const QPointF &anchor, double factor)
{
	painter.translate(anchor);
	painter.scale(factor, factor);
	painter.translate(-anchor);
}

void drawTitle(QPainter &painter, const Preset &preset, const StandbyLayout &layout, const GlyphImages *glyphs)
{
	if (layout.titleRect.width() <= 0 || layout.titleRect.height() <= 0)
		return;
	if (layout.titleIsPicture)
		drawGlyphAligned(painter, layout.titleRect, layout.titleHeight, *glyphPicture(glyphs, GlyphTitle),
				 preset.style.align);
	else
		drawTextLayer(painter, preset.style, layout.titleFont, preset.title.trimmed(), layout.titleRect);
}

void drawTime(QPainter &painter, const ShowSnapshot &snapshot, const StandbyLayout &layout, const QPointF &anchor,
	      bool counting)
{
	const Preset &preset = snapshot.preset;
	const int64_t left = snapshot.remainingMs();
	const TimeTokens tokens = standbyTimeTokens(left, preset, snapshot.texts);
	const double width = rowWidth(zeroDigits(tokens), layout.row);
	const double x = alignedLeft(layout.centreRect, width, preset.style.align);
	const double centreY = layout.timeRect.center().y();
	const double baseline = centreY - layout.zeroTop - layout.zeroHeight * 0.5;

	painter.save();
	// A time wider than measured (ten hours or more of an until-time countdown) is squeezed in.
	if (width > layout.centreRect.width())
		scaleAbout(painter, anchor, layout.centreRect.width() / width);
	const RowMotion motion = lastTenMotion(preset.last_ten, snapshot.countdown.phase, counting, left);
	painter.translate(0, -motion.liftShare * layout.timeRect.height());
	scaleAbout(painter, anchor, motion.scale);
	drawTokenRow(painter, tokens, layout.row, x, baseline, centreY, preset.style);
	painter.restore();
}

void drawEnd(QPainter &painter, const ShowSnapshot &snapshot, const StandbyLayout &layout, const QPointF &anchor,
	     const QString &text, bool usePicture)
{
	const Preset &preset = snapshot.preset;
	painter.save();
	if (!snapshot.held)
		scaleAbout(painter, anchor, endPopScale(snapshot.nowMono - snapshot.zeroAt()));
	const QRectF box(layout.centreRect.x(), anchor.y() - layout.centreRect.height() / 2, layout.centreRect.width(),
			 layout.centreRect.height());
	if (usePicture)
		drawGlyphAligned(painter, box, layout.endHeight, *glyphPicture(snapshot.glyphs.get(), GlyphEnd),
				 preset.style.align);
	else
		drawTextLayer(painter, preset.style, layout.endFont, text, box);
	painter.restore();
}

void drawMessage(QPainter &painter, const ShowSnapshot &snapshot, const StandbyLayout &layout)
{
	if (layout.messageRect.width() <= 0 || layout.messageRect.height() <= 0)
		return;
	const ShownMessage message = currentMessage(layout.messages, snapshot.nowMono);
	if (message.line.isEmpty() || message.opacity <= 0)
		return;
	painter.save();
	painter.setOpacity(message.opacity);
	drawTextLayer(painter, snapshot.preset.style, layout.messageFont, message.line, layout.messageRect);
	painter.restore();
}

void drawStandby(QPainter &painter, const ShowSnapshot &snapshot, const StandbyLayout &layout)
{
	const Preset &preset = snapshot.preset;
	const bool counting = snapshot.zeroAt() < 0;
	const QString endText = (snapshot.held ? preset.holdText : preset.end_text).trimmed();
	const bool useEndPicture = !snapshot.held && layout.endIsPicture;
	const QPointF anchor(alignAnchor(layout.centreRect, preset.style.align), layout.timeRect.center().y());

	drawTitle(painter, preset, layout, snapshot.glyphs.get());
	if (counting || (!snapshot.held && !useEndPicture && endText.isEmpty()))
		drawTime(painter, snapshot, layout, anchor, counting);
	else
		drawEnd(painter, snapshot, layout, anchor, endText, useEndPicture);
	drawMessage(painter, snapshot, layout);
}

void drawBreak(QPainter &painter, const ShowSnapshot &snapshot, const BreakLayout &layout)
{
	const Preset &preset = snapshot.preset;
	double x = layout.rowRect.x();
	if (layout.labelWidth > 0) {
		if (layout.labelIsPicture) {
			drawGlyph(painter, QRectF(x, layout.rowRect.y(), layout.labelWidth, layout.rowRect.height()),
				  *glyphPicture(snapshot.glyphs.get(), GlyphBreak));
		} else {
			QPainterPath path;
			path.addText(x, layout.baseline, layout.font, layout.label);
			drawOutlinedPath(painter, path, preset.style, fillStrokeWidth(preset.style, layout.font));
		}
		x += layout.labelGap + layout.labelWidth;
	}
	drawTokenRow(painter, breakTimeTokens(snapshot.breakRemainingMs(), preset, snapshot.texts), layout.row, x,
		     layout.baseline, layout.rowRect.center().y(), preset.style);
}

template<typename Draw> QImage paintFrame(const QSize &naturalSize, double scale, Draw draw)
{
	const int width = std::max(1, static_cast<int>(std::lround(naturalSize.width() * scale)));
	const int height = std::max(1, static_cast<int>(std::lround(naturalSize.height() * scale)));
	QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
	image.fill(Qt::transparent);
	QPainter painter(&image);
	painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
	painter.scale(scale, scale);
	draw(painter);
	painter.end();
	return image;
}

} // namespace

QImage composeWholeFrame(const ShowSnapshot &snapshot, int kind, double scale)
{
	scale = std::clamp(scale, 0.02, 4.0);
	if (kind == KindBreak) {
		const BreakLayout layout(snapshot.preset, snapshot.glyphs.get(), snapshot.texts);
		return paintFrame(layout.naturalSize, scale,
				  [&](QPainter &painter) { drawBreak(painter, snapshot, layout); });
	}
	const StandbyLayout layout(snapshot.preset, snapshot.glyphs.get(), snapshot.texts);
	return paintFrame(layout.naturalSize, scale,
			  [&](QPainter &painter) { drawStandby(painter, snapshot, layout); });
}
