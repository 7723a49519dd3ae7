#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

// Picture glyph indices: the elements of the countdown picture that a file of the image
// folder can replace.
enum GlyphIndex : int {
	GlyphDigitZero = 0, // 0..9 are the digits
	GlyphColon = 10,
	GlyphLeftWords = 11, // the words of "Break.Left" around the time
	GlyphHours = 12,
	GlyphMinutes = 13,
	GlyphSeconds = 14,
	GlyphTitle = 15,
	GlyphEnd = 16,
	GlyphBreak = 17,
	GlyphCount = 18,
};

// The pictures read from one image folder; read-only once loaded and shared between
// threads. A null image stands for an element drawn as text.
struct GlyphImages {
	bool exists = false;
	std::array<QImage, GlyphCount> images;
	QStringList tooLarge; // names of the files refused for their size
};

// The picture of a glyph index, or null when there is none (no glyphs, index out of
// range, no file).
const QImage *glyphPicture(const GlyphImages *glyphs, int index);

// One picture file read for a glyph: its image (null when the file is unusable) and
// whether it was refused for its size.
struct GlyphFile {
	QImage image;
	bool tooLarge = false;
};
// Reads one picture file: format from its contents, orientation applied, capped at
// 1024 x 1024 keeping its aspect ratio, premultiplied. The size is read from the file's
// header first: a picture whose full decode would take more than 64 MiB is logged and
// not decoded at all, and a format that can decodes straight to the capped size.
GlyphFile readGlyphImage(const QString &path);
// Reads a folder afresh, with no cache; logs nothing but the pictures refused for their
// size.
std::shared_ptr<const GlyphImages> loadGlyphImages(const QString &folder);
// The glyphs of a folder through the process-wide folder cache (UI thread only); `force`
// reads it again. Logs what a read found. Null for an empty folder string.
std::shared_ptr<const GlyphImages> glyphsForFolder(const QString &folder, bool force);

bool hasAnyGlyph(const GlyphImages &glyphs);
// What a folder offers, for the log and the dock: "0〜9" or the single digits, then the
// locale texts of the other elements found, then the files refused for their size.
QStringList glyphStatus(const GlyphImages &glyphs);
