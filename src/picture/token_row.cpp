#include "picture/token_row.h"

#include "picture/fonts.h"
#include "picture/glyph_draw.h"
#include "picture/glyph_images.h"
#include "picture/text_geometry.h"
#include "picture/text_paths.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool isDigitGlyph(int glyph)
{
	return glyph >= GlyphDigitZero && glyph <= GlyphDigitZero + 9;
}

// Where each token of a row starts.
std::vector<double> tokenStarts(const TimeTokens &tokens, const RowMetrics &row, double left)
{
	std::vector<double> starts;
	double x = left;
	for (size_t i = 0; i < tokens.size(); ++i) {
		starts.push_back(x);
		x += tokenWidth(tokens[i], row);
		if (i + 1 < tokens.size())
			x += tokenGap(tokens[i], tokens[i + 1], row);
	}
	return starts;
}

bool plainText(const TimeTokens &tokens, const RowMetrics &row)
{
	return std::none_of(tokens.begin(), tokens.end(), [&](const TimeToken &token) {
		return token.small || glyphPicture(row.glyphs, token.glyph) != nullptr;
	});
}

void eraseColumns(QImage &image, int from, int to)
{
	from = std::max(from, 0);
	to = std::min(to, image.width());
	if (from >= to)
		return;
	for (int y = 0; y < image.height(); ++y)
		std::memset(image.scanLine(y) + size_t(from) * 4, 0, size_t(to - from) * 4);
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

bool patchTokenRow(QImage &image, const TimeTokens &before, const TimeTokens &tokens, const RowMetrics &row,
		   double left, double baseline, const PresetStyle &style, double scale)
{
	if (before.size() != tokens.size() || !plainText(before, row) || !plainText(tokens, row))
		return false;
	const double fillPen = fillStrokeWidth(style, row.big);
	// How far a token's ink reaches beyond its glyph: half the outline pen, then two pixels
	// of antialiasing and rounding each way.
	const double reach = styleOutlineWidth(style) + fillPen / 2;
	const std::vector<double> was = tokenStarts(before, row, left);
	const std::vector<double> now = tokenStarts(tokens, row, left);
	const auto inkFrom = [&](double start) { return int(std::floor(scale * (start - reach))) - 2; };
	const auto inkTo = [&](const TimeTokens &row_, const std::vector<double> &starts, size_t i) {
		return int(std::ceil(scale * (starts[i] + tokenWidth(row_[i], row) + reach))) + 2;
	};

	// The columns a changed token covers before and after, merged where they meet: outside
	// them the image already holds the new row.
	std::vector<std::pair<int, int>> spans;
	for (size_t i = 0; i < tokens.size(); ++i) {
		if (tokens[i] == before[i] && was[i] == now[i])
			continue;
		spans.emplace_back(std::min(inkFrom(was[i]), inkFrom(now[i])),
				   std::max(inkTo(before, was, i), inkTo(tokens, now, i)));
	}
	std::sort(spans.begin(), spans.end());
	std::vector<std::pair<int, int>> merged;
	for (const auto &span : spans) {
		if (!merged.empty() && span.first <= merged.back().second)
			merged.back().second = std::max(merged.back().second, span.second);
		else
			merged.push_back(span);
	}

	// Each span is drawn again from every token whose ink reaches into it, neighbours that
	// did not change included, clipped to the span: there it is the whole row's drawing.
	for (const auto &[from, to] : merged)
		eraseColumns(image, from, to);
	QPainter painter(&image);
	painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
	for (const auto &[from, to] : merged) {
		QPainterPath path;
		for (size_t j = 0; j < tokens.size(); ++j) {
			if (inkFrom(now[j]) < to && inkTo(tokens, now, j) > from)
				path.addText(now[j] - row.bigMetrics.tightBoundingRect(tokens[j].text).left(), baseline,
					     row.big, tokens[j].text);
		}
		painter.resetTransform(); // the clip is in the image's pixels
		painter.setClipRect(QRect(from, 0, to - from, image.height()));
		painter.scale(scale, scale);
		drawOutlinedPath(painter, path, style, fillPen);
	}
	return true;
}
