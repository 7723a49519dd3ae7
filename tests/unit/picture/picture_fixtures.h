#pragma once

// A fixed look for picture tests: a font from fonts-dejavu-core, pure colours that are
// easy to tell apart, and snapshots built by hand instead of read from the shared state.
#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdlib>

namespace picture_test {

inline const QColor fill(255, 0, 0);
inline const QColor outline(0, 0, 255);
inline const char *const family = "DejaVu Sans";

// A preset with no texts at all, drawn in DejaVu Sans, red on a blue outline.
inline Preset plainPreset(int size = 200, int outlineWidth = 10)
{
	Preset preset;
	preset.style.font = QString::fromLatin1(family);
	preset.style.color = fill;
	preset.style.outline = outline;
	preset.style.size = size;
	preset.style.outline_width = outlineWidth;
	return preset;
}

// The show at monotonic time `now` (kept away from message changes), idle, in en-US.
inline ShowSnapshot idleSnapshot(const Preset &preset, int64_t now = 3000)
{
	ShowSnapshot snapshot;
	snapshot.preset = preset;
	snapshot.texts = currentPictureTexts();
	snapshot.nowMono = now;
	snapshot.nowWall = 1767268800000; // 2026-01-01 12:00 UTC
	return snapshot;
}

// Standby running with `leftMs` to go.
inline ShowSnapshot countingSnapshot(const Preset &preset, int64_t leftMs, int64_t now = 3000)
{
	ShowSnapshot snapshot = idleSnapshot(preset, now);
	snapshot.countdown.phase = PhaseStandby;
	snapshot.countdown.startedAt = now;
	snapshot.countdown.endsAt = now + leftMs;
	return snapshot;
}

// Standby `sinceZeroMs` after zero was reached (frozen by the director).
inline ShowSnapshot afterZeroSnapshot(const Preset &preset, int64_t sinceZeroMs, int64_t now = 30000)
{
	ShowSnapshot snapshot = idleSnapshot(preset, now);
	snapshot.countdown.phase = PhaseStandby;
	snapshot.countdown.endsAt = now - sinceZeroMs;
	snapshot.countdown.finished = true;
	snapshot.countdown.finishedAt = now - sinceZeroMs;
	return snapshot;
}

// A premultiplied picture of one colour.
inline QImage solidImage(int width, int height, const QColor &colour)
{
	QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
	image.fill(colour);
	return image;
}

inline int alphaAt(const QImage &image, int x, int y)
{
	return qAlpha(image.pixel(x, y));
}

// The pixel is fully opaque and, within a little antialiasing, of the colour.
inline bool isOpaque(const QImage &image, int x, int y, const QColor &colour, int tolerance = 8)
{
	const QRgb pixel = image.pixel(x, y);
	return qAlpha(pixel) == 255 && std::abs(qRed(pixel) - colour.red()) <= tolerance &&
	       std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
	       std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// True when no pixel of the column range [x0, x1) has any alpha.
inline bool columnsClear(const QImage &image, int x0, int x1)
{
	for (int x = x0; x < x1; ++x) {
		for (int y = 0; y < image.height(); ++y) {
			if (alphaAt(image, x, y) != 0)
				return false;
		}
	}
	return true;
}

// The smallest rectangle holding every pixel with alpha (empty for an empty picture).
inline QRect inkBounds(const QImage &image)
{
	QRect ink;
	for (int y = 0; y < image.height(); ++y) {
		for (int x = 0; x < image.width(); ++x) {
			if (alphaAt(image, x, y) != 0)
				ink |= QRect(x, y, 1, 1);
		}
	}
	return ink;
}

} // namespace picture_test
