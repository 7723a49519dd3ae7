#include "picture/glyph_images.h"

#include "base/module_host.h"
#include "base/qt_compat.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

#include <vector>

namespace {

constexpr int maxGlyphSide = 1024;
// A picture whose full decode (32 bits a pixel) would take more than this is refused from
// its header alone: decoding it would stall the UI thread and take gigabytes.
constexpr qint64 maxDecodeBytes = 64LL * 1024 * 1024;
// The reader's own limit where Qt has one (Qt 6): room for any accepted picture even at
// 128 bits a pixel, so that Qt 5 and Qt 6 accept and refuse the same files.
constexpr int readerLimitMegabytes = int(4 * maxDecodeBytes / (1024 * 1024));

// Base names looked for, per glyph index, in order of preference.
const std::vector<std::vector<const char *>> &glyphBaseNames()
{
	static const std::vector<std::vector<const char *>> names = {
		{"0"},
		{"1"},
		{"2"},
		{"3"},
		{"4"},
		{"5"},
		{"6"},
		{"7"},
		{"8"},
		{"9"},
		{"colon", "："},
		{"ato", "あと"},
		{"jikan", "時間"},
		{"fun", "分"},
		{"byou", "秒"},
		{"title", "タイトル"},
		{"end", "0のとき"},
		{"break", "休憩", "休憩中"},
	};
	return names;
}

const char *const glyphExtensions[] = {"png", "webp", "jpg", "jpeg", "bmp"};

// The locale keys that name indices 10..17 in the status list.
const char *const glyphStatusKeys[] = {
	"Glyph.Colon",   "Glyph.Ato",   "Glyph.Hours", "Glyph.Minutes",
	"Glyph.Seconds", "Glyph.Title", "Glyph.End",   "Glyph.Break",
};

QHash<QString, std::shared_ptr<const GlyphImages>> &folderCache()
{
	static QHash<QString, std::shared_ptr<const GlyphImages>> cache;
	return cache;
}

QImage firstReadable(const QHash<QString, QString> &files, const std::vector<const char *> &baseNames,
		     QStringList &tooLarge)
{
	for (const char *baseName : baseNames) {
		for (const char *extension : glyphExtensions) {
			const QString name =
				(QString::fromUtf8(baseName) + QLatin1Char('.') + QLatin1String(extension)).toLower();
			const auto found = files.constFind(name);
			if (found == files.constEnd())
				continue;
			GlyphFile file = readGlyphImage(*found);
			if (file.tooLarge)
				tooLarge << QFileInfo(*found).fileName();
			if (!file.image.isNull())
				return file.image;
		}
	}
	return QImage();
}

} // namespace

const QImage *glyphPicture(const GlyphImages *glyphs, int index)
{
	if (!glyphs || index < 0 || index >= GlyphCount || glyphs->images[index].isNull())
		return nullptr;
	return &glyphs->images[index];
}

GlyphFile readGlyphImage(const QString &path)
{
	QImageReader reader(path, QByteArray());
	reader.setDecideFormatFromContent(true);
	reader.setAutoTransform(true);
	compat::setImageAllocationLimit(reader, readerLimitMegabytes);
	const QSize size = reader.size(); // from the header; nothing is decoded yet
	if (!size.isValid())
		return {};
	if (qint64(size.width()) * size.height() * 4 > maxDecodeBytes) {
		moduleLog(LOG_WARNING, "picture '%s' is too large to use (%dx%d)", path.toUtf8().constData(),
			  size.width(), size.height());
		return {QImage(), true};
	}
	const bool oversized = size.width() > maxGlyphSide || size.height() > maxGlyphSide;
	if (oversized && reader.supportsOption(QImageIOHandler::ScaledSize))
		reader.setScaledSize(size.scaled(maxGlyphSide, maxGlyphSide, Qt::KeepAspectRatio));
	QImage image = reader.read();
	if (image.isNull())
		return {};
	if (image.width() > maxGlyphSide || image.height() > maxGlyphSide)
		image = image.scaled(maxGlyphSide, maxGlyphSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
	return {image.convertToFormat(QImage::Format_ARGB32_Premultiplied), false};
}

std::shared_ptr<const GlyphImages> loadGlyphImages(const QString &folder)
{
	auto glyphs = std::make_shared<GlyphImages>();
	const QDir dir(folder);
	glyphs->exists = dir.exists();
	if (!glyphs->exists)
		return glyphs;

	// Names compare without regard to case; of two that differ only in case, the later
	// one listed wins.
	QHash<QString, QString> files;
	const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::NoSort);
	for (const QFileInfo &entry : entries)
		files.insert(entry.fileName().toLower(), entry.absoluteFilePath());

	const auto &baseNames = glyphBaseNames();
	for (int index = 0; index < GlyphCount; ++index)
		glyphs->images[index] = firstReadable(files, baseNames[index], glyphs->tooLarge);
	return glyphs;
}

std::shared_ptr<const GlyphImages> glyphsForFolder(const QString &folder, bool force)
{
	if (folder.isEmpty())
		return nullptr;
	auto &cache = folderCache();
	if (!force) {
		const auto cached = cache.constFind(folder);
		if (cached != cache.constEnd())
			return *cached;
	}

	std::shared_ptr<const GlyphImages> glyphs = loadGlyphImages(folder);
	cache.insert(folder, glyphs);
	const QStringList status = glyphStatus(*glyphs);
	const QString found = status.isEmpty() ? QStringLiteral("none") : status.join(QStringLiteral(", "));
	moduleLog(LOG_INFO, "pictures from '%s': %s", folder.toUtf8().constData(), found.toUtf8().constData());
	return glyphs;
}

bool hasAnyGlyph(const GlyphImages &glyphs)
{
	for (const QImage &image : glyphs.images) {
		if (!image.isNull())
			return true;
	}
	return false;
}

QStringList glyphStatus(const GlyphImages &glyphs)
{
	QStringList status;
	QStringList digits;
	for (int digit = 0; digit <= 9; ++digit) {
		if (!glyphs.images[digit].isNull())
			digits << QString::number(digit);
	}
	if (digits.size() == 10)
		status << QString::fromUtf8("0〜9");
	else
		status << digits;
	for (int index = GlyphColon; index < GlyphCount; ++index) {
		if (!glyphs.images[index].isNull())
			status << moduleText(glyphStatusKeys[index - GlyphColon]);
	}
	for (const QString &name : glyphs.tooLarge)
		status << moduleText("Glyph.TooLarge").arg(name);
	return status;
}
