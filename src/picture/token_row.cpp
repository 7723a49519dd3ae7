#include "picture/token_row.h"

#include "picture/fonts.h"
#include "picture/glyph_draw.h"
#include "picture/glyph_images.h"
#include "picture/text_paths.h"

#include <QPainterPath>

#include <utility>
#include <vector>

namespace {

bool isDigitGlyph(int glyph)
{
	return glyph >= GlyphDigitZero && glyph <= GlyphDigitZero + 9;
}

} // namespace

RowMetrics::RowMetrics(const QFont &bigFont, const QFont &smallFont, double glyphHeight_, double digitGap_,
		       double smallGap_, const GlyphImages *glyphs_)
    : big(bigFont), small(smallFont), bigMetrics(bigFont), smallMetrics(smallFont), glyphHeight(glyphHeight_),
      digitGap(digitGap_), smallGap(smallGap_), glyphs(glyphs_)
{
}

TimeTokens zeroDigits(const TimeTokens &tokens)
{
	TimeTokens zeroed = tokens;
	for (TimeToken &token : zeroed) {
		if (!token.small && isDigitGlyph(token.glyph))
			token = {GlyphDigitZero, QStringLiteral("0"), false};
	}
	return zeroed;
}

double tokenWidth(const TimeToken &token, const RowMetrics &row)
{
	if (const QImage *picture = glyphPicture(row.glyphs, token.glyph))
		return glyphWidthAt(*picture, row.glyphHeight);
	if (token.small)
		return row.smallMetrics.horizontalAdvance(token.text);
	return row.bigMetrics.tightBoundingRect(token.text).width();
}

double tokenGap(const TimeToken &a, const TimeToken &b, const RowMetrics &row)
{
	if (glyphPicture(row.glyphs, a.glyph) || glyphPicture(row.glyphs, b.glyph))
		return 0;
	if (a.small || b.small)
		return row.smallGap;
	return row.digitGap;
}

double rowWidth(const TimeTokens &tokens, const RowMetrics &row)
{
	double width = 0;
	for (size_t i = 0; i < tokens.size(); ++i) {
		width += tokenWidth(tokens[i], row);
		if (i + 1 < tokens.size())
			width += tokenGap(tokens[i], tokens[i + 1], row);
	}
	return width;
}

void drawTokenRow(QPainter &painter, const TimeTokens &tokens, const RowMetrics &row, double left, double baseline,
		  double centreY, const PresetStyle &style)
{
	QPainterPath bigPath;
	QPainterPath smallPath;
	std::vector<std::pair<QRectF, const QImage *>> pictures;

	double x = left;
	for (size_t i = 0; i < tokens.size(); ++i) {
		const TimeToken &token = tokens[i];
		const double width = tokenWidth(token, row);
		if (const QImage *picture = glyphPicture(row.glyphs, token.glyph)) {
			pictures.emplace_back(QRectF(x, centreY - row.glyphHeight / 2, width, row.glyphHeight),
					      picture);
		} else if (token.small) {
			smallPath.addText(x, baseline, row.small, token.text);
		} else {
			const double inkLeft = row.bigMetrics.tightBoundingRect(token.text).left();
			bigPath.addText(x - inkLeft, baseline, row.big, token.text);
		}
		x += width;
		if (i + 1 < tokens.size())
			x += tokenGap(token, tokens[i + 1], row);
	}

	drawOutlinedPath(painter, bigPath, style, fillStrokeWidth(style, row.big));
	drawOutlinedPath(painter, smallPath, style, fillStrokeWidth(style, row.small));
	for (const auto &picture : pictures)
		drawGlyph(painter, picture.first, *picture.second);
}
