#pragma once

#include <QFont>
#include <QString>

#include <functional>

struct PresetStyle;

// The first of the rounded, Japanese-capable families that `installed` accepts, or the
// last of the list when none is (the font system then substitutes).
QString chooseFallbackFamily(const std::function<bool(const QString &)> &installed);
// The family used when a style names none; chosen once per process.
QString fallbackFamily();

// The family of a font file, added to the application's fonts the first time it loads.
// A file that gave no family is tried again only after its time or size changes.
// UI thread only.
QString loadFontFile(const QString &path);

// The style's family (or the fallback) at a pixel size, unhinted so it scales smoothly.
QFont makeFont(const PresetStyle &style, double pixelSize);
// The fallback families are drawn a little heavier: the pen width that strokes their fill.
double fillStrokeWidth(const PresetStyle &style, const QFont &font);
