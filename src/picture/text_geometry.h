#pragma once

#include <QRectF>

struct PresetStyle;

// Horizontal alignment of a text or picture row ("align" of the style).
enum TextAlign : int { TextAlignLeft = 0, TextAlignCentre = 1, TextAlignRight = 2 };

// The style's text size within its bounds; every size of the picture derives from it.
double styleTextSize(const PresetStyle &style);
// The style's outline width within its bounds.
double styleOutlineWidth(const PresetStyle &style);
// The empty border around the picture, wide enough for the outline.
double styleMargin(const PresetStyle &style);

// The left x of something `width` wide placed in `rect` with an alignment.
double alignedLeft(const QRectF &rect, double width, int align);
// The x that stays put when something aligned in `rect` is scaled: its aligned edge or centre.
double alignAnchor(const QRectF &rect, int align);
