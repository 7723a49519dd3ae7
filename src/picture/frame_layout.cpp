#include "picture/frame_layout.h"

#include "picture/fonts.h"
#include "picture/frame_motion.h"
#include "picture/glyph_draw.h"
#include "picture/glyph_images.h"
#include "picture/messages.h"
#include "picture/text_geometry.h"
#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxPictureSide = 4096;
// The standby picture of an until-time countdown is measured for its widest common time.
constexpr int64_t untilTimeMeasureMs = 35999000; // 9:59:59
// Measured rows get a little room so that the widest digits still fit.
constexpr double rowSlack = 1.02;

RowMetrics standbyRowMetrics(const PresetStyle &style, const GlyphImages *glyphs)
{
	const double s = styleTextSize(style);
	return RowMetrics(makeFont(style, s), makeFont(style, s * 0.45), s * 0.85, s * 0.15, s * 0.04, glyphs);
}

RowMetrics breakRowMetrics(const QFont &font, const GlyphImages *glyphs)
{
	const QFontMetricsF metrics(font);
	const double gap = 0.15 * font.pixelSize();
	return RowMetrics(font, font, metrics.ascent() + metrics.descent(), gap, gap, glyphs);
}

bool anyPicture(const TimeTokens &tokens, const GlyphImages *glyphs)
{
	return std::any_of(tokens.begin(), tokens.end(),
			   [glyphs](const TimeToken &token) { return glyphPicture(glyphs, token.glyph) != nullptr; });
}

int cappedSide(double length)
{
	return std::min(static_cast<int>(std::ceil(length)), maxPictureSide);
}

} // namespace

StandbyLayout::StandbyLayout(const Preset &preset, const GlyphImages *glyphs, const PictureTexts &texts)
    : titleFont(makeFont(preset.style, styleTextSize(preset.style) * 0.36)),
      messageFont(makeFont(preset.style, styleTextSize(preset.style) * 0.26)),
      endFont(makeFont(preset.style, styleTextSize(preset.style) * 0.5)), row(standbyRowMetrics(preset.style, glyphs))
{
	const PresetStyle &style = preset.style;
	const double s = styleTextSize(style);
	const double margin = styleMargin(style);
	const double gap = styleOutlineWidth(style) * 1.5 + s * 0.06;
	const QFontMetricsF endMetrics(endFont);

	// The time row, measured with zeros.
	const TimeTokens zeros = zeroDigits(
		standbyTimeTokens(preset.count_mode != 0 ? preset.duration_ms : untilTimeMeasureMs, preset, texts));
	const double timeWidth = rowWidth(zeros, row) * rowSlack;
	const QRectF zeroBox = row.bigMetrics.tightBoundingRect(QStringLiteral("0"));
	zeroTop = zeroBox.top();
	zeroHeight = std::max(1.0, zeroBox.height());
	double timeHeight = zeroHeight;
	if (anyPicture(zeros, glyphs))
		timeHeight = std::max(timeHeight, row.glyphHeight);

	// Room for the last-ten animation: the grown time, or the hop above it.
	const RowMotion room = lastTenRoom(preset.last_ten);
	const double grow = room.scale;
	const double lift = room.liftShare * timeHeight;

	double endWidth = 0;
	if (const QImage *end = glyphPicture(glyphs, GlyphEnd)) {
		endIsPicture = true;
		endHeight = s * 0.7;
		endWidth = glyphWidthAt(*end, endHeight);
	} else {
		endHeight = endMetrics.height();
		endWidth = endMetrics.horizontalAdvance(preset.end_text.trimmed());
	}
	const double holdWidth = endMetrics.horizontalAdvance(preset.holdText.trimmed());
	const double centreHeight = std::max({timeHeight * grow + lift, endHeight * 1.1, endMetrics.height() * 1.1});

	double titleWidth = 0;
	const QString title = preset.title.trimmed();
	if (const QImage *picture = glyphPicture(glyphs, GlyphTitle)) {
		titleIsPicture = true;
		titleHeight = s * 0.55;
		titleWidth = glyphWidthAt(*picture, titleHeight);
	} else if (!title.isEmpty()) {
		const QFontMetricsF titleMetrics(titleFont);
		titleHeight = titleMetrics.height();
		titleWidth = titleMetrics.horizontalAdvance(title);
	}

	messages = messageLines(preset, texts);
	const QFontMetricsF messageMetrics(messageFont);
	double width = std::max({timeWidth * grow, titleWidth, endWidth * 1.1, holdWidth * 1.1});
	for (const QString &line : messages)
		width = std::max(width, messageMetrics.horizontalAdvance(line));
	width = std::min(width, maxPictureSide - 2 * margin);

	double y = margin;
	if (titleHeight > 0) {
		titleRect = QRectF(margin, margin, width, titleHeight);
		y = margin + titleHeight + gap;
	}
	centreRect = QRectF(margin, y, width, centreHeight);
	timeRect = QRectF(alignedLeft(centreRect, timeWidth, style.align),
			  y + lift + (centreHeight - lift - timeHeight) * 0.5, timeWidth, timeHeight);
	y += centreHeight;
	if (!messages.isEmpty()) {
		messageRect = QRectF(margin, y + gap, width, messageMetrics.height());
		y += gap + messageMetrics.height();
	}
	naturalSize = QSize(cappedSide(width + 2 * margin), cappedSide(y + margin));
}

BreakLayout::BreakLayout(const Preset &preset, const GlyphImages *glyphs, const PictureTexts &texts)
    : font(makeFont(preset.style, styleTextSize(preset.style) * 0.5)), row(breakRowMetrics(font, glyphs)),
      label(preset.break_text.trimmed())
{
	const double margin = styleMargin(preset.style);
	const double rowHeight = row.glyphHeight;

	if (const QImage *picture = glyphPicture(glyphs, GlyphBreak)) {
		labelIsPicture = true;
		labelWidth = glyphWidthAt(*picture, rowHeight);
	} else {
		labelWidth = row.bigMetrics.horizontalAdvance(label);
	}
	labelGap = 0.45 * font.pixelSize();

	double width = rowWidth(zeroDigits(breakTimeTokens(preset.break_ms, preset, texts)), row) * rowSlack;
	if (labelWidth > 0)
		width += labelWidth + labelGap;
	width = std::min(width, maxPictureSide - 2 * margin);

	rowRect = QRectF(margin, margin, width, rowHeight);
	baseline = margin + row.bigMetrics.ascent();
	naturalSize = QSize(cappedSide(width + 2 * margin), cappedSide(rowHeight + 2 * margin));
}

QSize measureFrame(const Preset &preset, const GlyphImages *glyphs, const PictureTexts &texts, int kind)
{
	if (kind == KindBreak)
		return BreakLayout(preset, glyphs, texts).naturalSize;
	return StandbyLayout(preset, glyphs, texts).naturalSize;
}

QSize measureFrame(const Preset &preset, const GlyphImages *glyphs, int kind)
{
	return measureFrame(preset, glyphs, currentPictureTexts(), kind);
}
