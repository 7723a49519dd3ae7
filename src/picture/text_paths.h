#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;
class QPainterPath;
struct PresetStyle;

// Draws a path as outlined text: a round-capped stroke of the outline colour, twice the
// outline width plus the fill pen wide so that the outline shows its full width outside
// the glyphs, then the fill colour on top (stroked with `fillPen` when it is above 0).
void drawOutlinedPath(QPainter &painter, const QPainterPath &path, const PresetStyle &style, double fillPen);

// One line of outlined text in `rect`: vertically centred, aligned by the style, and
// shrunk (never clipped) when it is wider than the rectangle.
void drawFittedText(QPainter &painter, const PresetStyle &style, QFont font, const QString &text, const QRectF &rect);
