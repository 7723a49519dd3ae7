#include "picture/fonts.h"

#include "base/module_host.h"
#include "base/qt_compat.h"
#include "settings/preset.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

const char *const fallbackFamilies[] = {
	"M PLUS Rounded 1c", "Zen Maru Gothic",       "Kosugi Maru",         "Rounded M+ 1c",
	"HG丸ｺﾞｼｯｸM-PRO",    "Arial Rounded MT Bold", "UD Digi Kyokasho NK", "UD Digi Kyokasho N",
};
const char *const lastResortFamily = "UD Digi Kyokasho NK";

struct FontFileEntry {
	QString family;
	QDateTime modified;
	qint64 size = -1;
};

QHash<QString, FontFileEntry> &fontFileCache()
{
	static QHash<QString, FontFileEntry> cache;
	return cache;
}

} // namespace

QString chooseFallbackFamily(const std::function<bool(const QString &)> &installed)
{
	for (const char *family : fallbackFamilies) {
		const QString name = QString::fromUtf8(family);
		if (installed(name))
			return name;
	}
	return QString::fromUtf8(lastResortFamily);
}

QString fallbackFamily()
{
	static const QString family = chooseFallbackFamily(compat::hasFontFamily);
	return family;
}

QString loadFontFile(const QString &path)
{
	if (path.isEmpty())
		return QString();

	const QFileInfo info(path);
	const bool exists = info.exists();
	const QDateTime modified = exists ? info.lastModified() : QDateTime();
	const qint64 size = exists ? info.size() : -1;

	QHash<QString, FontFileEntry> &cache = fontFileCache();
	const auto cached = cache.constFind(path);
	if (cached != cache.constEnd()) {
		if (!cached->family.isEmpty())
			return cached->family;
		if (cached->modified == modified && cached->size == size)
			return QString();
	}

	QString family;
	const int id = QFontDatabase::addApplicationFont(path);
	if (id >= 0) {
		const QStringList families = QFontDatabase::applicationFontFamilies(id);
		if (!families.isEmpty())
			family = families.first();
	}
	cache.insert(path, FontFileEntry{family, modified, size});

	const QByteArray pathUtf8 = path.toUtf8();
	if (family.isEmpty())
		moduleLog(LOG_WARNING, "font file '%s': %s", pathUtf8.constData(), "could not be read");
	else
		moduleLog(LOG_INFO, "font file '%s': %s", pathUtf8.constData(), family.toUtf8().constData());
	return family;
}

QFont makeFont(const PresetStyle &style, double pixelSize)
{
	QFont font(style.font.isEmpty() ? fallbackFamily() : style.font);
	font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
	font.setBold(style.bold);
	font.setHintingPreference(QFont::PreferNoHinting);
	return font;
}

double fillStrokeWidth(const PresetStyle &style, const QFont &font)
{
	if (style.font.isEmpty() || style.font == fallbackFamily())
		return font.pixelSize() * 0.055;
	return 0;
}
