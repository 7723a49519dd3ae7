#pragma once

#include "picture/token_row.h"

#include <QFont>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

struct GlyphImages;
struct PictureTexts;
struct Preset;

// Where the parts of the standby picture go, in unscaled picture pixels. Every size
// derives from the style's text size; widths are measured with all digits "0".
struct StandbyLayout {
	StandbyLayout(const Preset &preset, const GlyphImages *glyphs, const PictureTexts &texts);

	QFont titleFont;
	QFont messageFont;
	QFont endFont;
	RowMetrics row;
	QRectF titleRect;
	QRectF centreRect;
	QRectF timeRect;
	QRectF messageRect;
	double zeroTop = 0; // top of the ink of "0", above the baseline (negative)
	double zeroHeight = 1;
	bool titleIsPicture = false;
	bool endIsPicture = false;
	double titleHeight = 0;
	double endHeight = 0;
	QStringList messages;
	QSize naturalSize;
};

// The break picture: the break label, then the time left, on one row.
struct BreakLayout {
	BreakLayout(const Preset &preset, const GlyphImages *glyphs, const PictureTexts &texts);

	QFont font;
	RowMetrics row;
	QString label;
	bool labelIsPicture = false;
	double labelWidth = 0;
	double labelGap = 0;
	double baseline = 0;
	QRectF rowRect;
	QSize naturalSize;
};

// The natural size of a kind's picture (1 break, else standby), before any scaling.
QSize measureFrame(const Preset &preset, const GlyphImages *glyphs, const PictureTexts &texts, int kind);
// The same with the texts of the module's current locale. UI thread only.
QSize measureFrame(const Preset &preset, const GlyphImages *glyphs, int kind);
