#pragma once

#include "picture/clock_text.h"

#include <QFont>
#include <QFontMetricsF>

class QImage;
class QPainter;
struct GlyphImages;
struct PresetStyle;

// What a time row is measured and drawn with.
struct RowMetrics {
	RowMetrics(const QFont &big, const QFont &small, double glyphHeight, double digitGap, double smallGap,
		   const GlyphImages *glyphs);

	QFont big;
	QFont small;
	QFontMetricsF bigMetrics;
	QFontMetricsF smallMetrics;
	double glyphHeight; // height of a picture glyph in the row
	double digitGap;
	double smallGap;
	const GlyphImages *glyphs; // may be null
};

// The tokens with every digit made "0", so widths do not follow the digits shown.
TimeTokens zeroDigits(const TimeTokens &tokens);
double tokenWidth(const TimeToken &token, const RowMetrics &row);
double tokenGap(const TimeToken &a, const TimeToken &b, const RowMetrics &row);
double rowWidth(const TimeTokens &tokens, const RowMetrics &row);

// Draws a row from `left`: text tokens as outlined paths (big ones with their ink starting
// exactly at their place) on the baseline, then picture tokens centred on `centreY`, above
// all text of the row.
void drawTokenRow(QPainter &painter, const TimeTokens &tokens, const RowMetrics &row, double left, double baseline,
		  double centreY, const PresetStyle &style);

// An image that holds the row `before`, drawn alone by drawTokenRow from `left` on a painter
// scaled by `scale` and nothing else, is made to hold `tokens` drawn the same way, pixel for
// pixel: only the columns of the tokens whose text or place changed are erased and drawn
// again. False, with nothing done, for rows it does not patch: another number of tokens, or
// a small or picture token.
bool patchTokenRow(QImage &image, const TimeTokens &before, const TimeTokens &tokens, const RowMetrics &row,
		   double left, double baseline, const PresetStyle &style, double scale);
