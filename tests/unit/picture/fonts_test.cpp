// Fonts: the fallback choice, font files loaded once, fonts made from a style, and the
// per-thread cache of finished text layers.
#include "picture_fixtures.h"

#include "log_capture.h"
#include "picture/fonts.h"
#include "picture/image_cache.h"
#include "picture/preset_picture.h"
#include "picture/text_geometry.h"
#include "picture/text_layer.h"
#include "picture/text_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <util/base.h>

using namespace picture_test;

namespace {

const char *const monoFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

std::function<bool(const QString &)> installedOnly(const QSet<QString> &families)
{
	return [families](const QString &family) { return families.contains(family); };
}

QImage canvas(int width = 600, int height = 200)
{
	return solidImage(width, height, Qt::transparent);
}

} // namespace

TEST(FallbackFamily, FirstInstalledOfTheListWins)
{
	EXPECT_EQ(
		chooseFallbackFamily(installedOnly({QStringLiteral("Kosugi Maru"), QStringLiteral("Zen Maru Gothic")})),
		QStringLiteral("Zen Maru Gothic"));
	EXPECT_EQ(chooseFallbackFamily(installedOnly({QStringLiteral("UD Digi Kyokasho N")})),
		  QStringLiteral("UD Digi Kyokasho N"));
	EXPECT_EQ(chooseFallbackFamily(installedOnly(
			  {QString::fromUtf8("HG丸ｺﾞｼｯｸM-PRO"), QStringLiteral("Arial Rounded MT Bold")})),
		  QString::fromUtf8("HG丸ｺﾞｼｯｸM-PRO"));
}

TEST(FallbackFamily, NoneInstalledStillNamesAFamily)
{
	EXPECT_EQ(chooseFallbackFamily(installedOnly({})), QStringLiteral("UD Digi Kyokasho NK"));
	EXPECT_EQ(fallbackFamily(), fallbackFamily());
	EXPECT_FALSE(fallbackFamily().isEmpty());
}

TEST(MakeFont, TakesTheStyleFamilySizeAndWeight)
{
	PresetStyle style = plainPreset().style;
	style.bold = false;
	const QFont font = makeFont(style, 10.5);
	EXPECT_EQ(font.family(), QString::fromLatin1(family));
	EXPECT_EQ(font.pixelSize(), 11);
	EXPECT_FALSE(font.bold());
	EXPECT_EQ(font.hintingPreference(), QFont::PreferNoHinting);

	style.bold = true;
	EXPECT_TRUE(makeFont(style, 80).bold());
	EXPECT_EQ(makeFont(style, 0.2).pixelSize(), 1);
	EXPECT_EQ(makeFont(style, -30).pixelSize(), 1);
}

TEST(MakeFont, EmptyFamilyUsesTheFallbackWithAHeavierFill)
{
	PresetStyle style;
	const QFont font = makeFont(style, 200);
	EXPECT_EQ(font.family(), fallbackFamily());
	EXPECT_DOUBLE_EQ(fillStrokeWidth(style, font), 11.0);
	style.font = fallbackFamily();
	EXPECT_DOUBLE_EQ(fillStrokeWidth(style, font), 11.0);
	style.font = QString::fromLatin1(family);
	EXPECT_DOUBLE_EQ(fillStrokeWidth(style, makeFont(style, 200)), 0.0);
}

TEST(FontFile, GoodFileLoadsOnceAndLogsOnce)
{
	QTemporaryDir dir;
	const QString path = dir.filePath(QStringLiteral("mono.ttf"));
	ASSERT_TRUE(QFile::copy(QString::fromLatin1(monoFontFile), path));
	LogCapture log;
	EXPECT_EQ(loadFontFile(path), QStringLiteral("DejaVu Sans Mono"));
	EXPECT_EQ(loadFontFile(path), QStringLiteral("DejaVu Sans Mono"));
	ASSERT_EQ(log.lines().size(), 1u);
	EXPECT_EQ(log.lines()[0].level, LOG_INFO);
	EXPECT_EQ(log.lines()[0].text, "[curtainup] font file '" + path.toStdString() + "': DejaVu Sans Mono");
}

TEST(FontFile, BadFileWarnsOnceUntilItChanges)
{
	QTemporaryDir dir;
	const QString path = dir.filePath(QStringLiteral("broken.otf"));
	{
		QFile file(path);
		ASSERT_TRUE(file.open(QIODevice::WriteOnly));
		file.write("no font here");
	}
	LogCapture log;
	EXPECT_TRUE(loadFontFile(path).isEmpty());
	EXPECT_TRUE(loadFontFile(path).isEmpty());
	ASSERT_EQ(log.lines().size(), 1u);
	EXPECT_EQ(log.lines()[0].level, LOG_WARNING);
	EXPECT_EQ(log.lines()[0].text, "[curtainup] font file '" + path.toStdString() + "': could not be read");

	// Replaced by a real font (another size): read again.
	ASSERT_TRUE(QFile::remove(path));
	ASSERT_TRUE(QFile::copy(QString::fromLatin1(monoFontFile), path));
	EXPECT_EQ(loadFontFile(path), QStringLiteral("DejaVu Sans Mono"));
	EXPECT_EQ(log.lines().size(), 2u);
}

TEST(FontFile, MissingFileWarnsOnceAndEmptyPathNever)
{
	LogCapture log;
	EXPECT_TRUE(loadFontFile(QString()).isEmpty());
	EXPECT_TRUE(log.lines().empty());
	const QString missing = QStringLiteral("/nonexistent/curtainup/font.ttf");
	EXPECT_TRUE(loadFontFile(missing).isEmpty());
	EXPECT_TRUE(loadFontFile(missing).isEmpty());
	EXPECT_EQ(log.count("could not be read"), 1);
}

TEST(FontFile, AppliedPresetUsesTheFileFamily)
{
	QTemporaryDir dir;
	const QString path = dir.filePath(QStringLiteral("applied.ttf"));
	ASSERT_TRUE(QFile::copy(QString::fromLatin1(monoFontFile), path));
	Preset preset = plainPreset();
	preset.style.font_file = path;
	ShowState state;
	showPreset(state, preset);
	EXPECT_EQ(state.snapshot().preset.style.font, QStringLiteral("DejaVu Sans Mono"));
	EXPECT_EQ(preset.style.font, QString::fromLatin1(family)); // the caller's copy is untouched

	preset.style.font_file = dir.filePath(QStringLiteral("missing.ttf"));
	showPreset(state, preset);
	EXPECT_EQ(state.snapshot().preset.style.font, QString::fromLatin1(family));
}

TEST(TextLayer, KeyHoldsEverythingThatChangesThePixels)
{
	const Preset preset = plainPreset(200, 10);
	const QFont font = makeFont(preset.style, 72);
	const QRectF rect(20.5, 30, 100, 50.125);
	const TextLayerPlace place = textLayerPlace(preset.style, font, rect);
	// Pad: ceil(10 + 7.2 + 2) = 20; origin floor(0.5), floor(10).
	EXPECT_EQ(place.pad, 20);
	EXPECT_EQ(place.origin, QPointF(0, 10));
	EXPECT_EQ(place.offset, QPointF(20.5, 20));
	EXPECT_EQ(textLayerKey(preset.style, font, QStringLiteral("Hi|%1"), rect, place.offset),
		  QStringLiteral("Hi|%1|") + font.key() +
			  QStringLiteral("|#ffff0000|#ff0000ff|10|1|100.00|50.13|20.50,20.00"));
}

TEST(TextLayer, SameTextIsRenderedOnceAndSubPixelMovesMakeANewLayer)
{
	const Preset preset = plainPreset(100, 5);
	const QFont font = makeFont(preset.style, 40);
	QImage first = canvas();
	QImage second = canvas();
	const int before = textLayerCache().count();
	{
		QPainter painter(&first);
		drawTextLayer(painter, preset.style, font, QStringLiteral("Layer"), QRectF(10, 10, 300, 60));
	}
	{
		QPainter painter(&second);
		drawTextLayer(painter, preset.style, font, QStringLiteral("Layer"), QRectF(10, 10, 300, 60));
	}
	EXPECT_EQ(textLayerCache().count(), before + 1);
	EXPECT_EQ(first, second);

	QImage moved = canvas();
	{
		QPainter painter(&moved);
		drawTextLayer(painter, preset.style, font, QStringLiteral("Layer"), QRectF(11, 10, 300, 60));
		EXPECT_EQ(textLayerCache().count(), before + 1); // whole pixels reuse the layer
		drawTextLayer(painter, preset.style, font, QStringLiteral("Layer"), QRectF(10.25, 10, 300, 60));
		EXPECT_EQ(textLayerCache().count(), before + 2);
	}
	PresetStyle recoloured = preset.style;
	recoloured.color = Qt::green;
	{
		QPainter painter(&moved);
		drawTextLayer(painter, recoloured, font, QStringLiteral("Layer"), QRectF(10, 10, 300, 60));
	}
	EXPECT_EQ(textLayerCache().count(), before + 3);
}

TEST(TextLayer, EmptyTextOrFlatRectangleDrawsNothing)
{
	const Preset preset = plainPreset(100, 5);
	const QFont font = makeFont(preset.style, 40);
	QImage image = canvas();
	const int before = textLayerCache().count();
	{
		QPainter painter(&image);
		drawTextLayer(painter, preset.style, font, QString(), QRectF(10, 10, 300, 60));
		drawTextLayer(painter, preset.style, font, QStringLiteral("x"), QRectF(10, 10, 1, 60));
		drawTextLayer(painter, preset.style, font, QStringLiteral("x"), QRectF(10, 10, 300, 1));
	}
	EXPECT_EQ(textLayerCache().count(), before);
	EXPECT_EQ(image, canvas());
}

TEST(TextLayer, OpacityAppliesToTheCachedLayer)
{
	const Preset preset = plainPreset(100, 5);
	const QFont font = makeFont(preset.style, 40);
	QImage image = canvas();
	{
		QPainter painter(&image);
		drawTextLayer(painter, preset.style, font, QStringLiteral("Faded"), QRectF(10, 10, 300, 60));
	}
	QImage faded = canvas();
	{
		QPainter painter(&faded);
		painter.setOpacity(0.5);
		drawTextLayer(painter, preset.style, font, QStringLiteral("Faded"), QRectF(10, 10, 300, 60));
	}
	int strongest = 0;
	for (int y = 0; y < faded.height(); ++y) {
		for (int x = 0; x < faded.width(); ++x)
			strongest = std::max(strongest, qAlpha(faded.pixel(x, y)));
	}
	EXPECT_NEAR(strongest, 128, 1);
	EXPECT_EQ(inkBounds(image), inkBounds(faded));
}

TEST(FittedText, WideTextShrinksIntoItsRectangle)
{
	const Preset preset = plainPreset(100, 0);
	QImage image = canvas(600, 200);
	const QRectF rect(100, 50, 200, 80);
	{
		QPainter painter(&image);
		painter.setRenderHint(QPainter::Antialiasing);
		drawFittedText(painter, preset.style, makeFont(preset.style, 80), QStringLiteral("A rather long line"),
			       rect);
	}
	const QRect ink = inkBounds(image);
	ASSERT_FALSE(ink.isEmpty());
	EXPECT_GE(ink.left(), 99);
	EXPECT_LE(ink.right(), 301);
	EXPECT_GT(ink.width(), 180); // shrunk to fit, not to a speck
}

TEST(FittedText, RightAlignmentEndsAtTheRightEdge)
{
	Preset preset = plainPreset(100, 0);
	preset.style.align = TextAlignRight;
	QImage image = canvas(600, 200);
	{
		QPainter painter(&image);
		painter.setRenderHint(QPainter::Antialiasing);
		drawFittedText(painter, preset.style, makeFont(preset.style, 60), QStringLiteral("II"),
			       QRectF(100, 50, 400, 80));
	}
	const QRect ink = inkBounds(image);
	// "I" has a small right side bearing; the advance ends at the edge.
	EXPECT_LE(ink.right(), 500);
	EXPECT_GE(ink.right(), 488);
}

TEST(OutlinedPath, OutlineIsTheStyleWidthOutsideTheFill)
{
	Preset preset = plainPreset(100, 6);
	QImage image = canvas(200, 200);
	QPainterPath square;
	square.addRect(50, 50, 100, 100);
	{
		QPainter painter(&image);
		drawOutlinedPath(painter, square, preset.style, 0);
	}
	EXPECT_TRUE(isOpaque(image, 45, 100, outline, 0));
	EXPECT_TRUE(isOpaque(image, 55, 100, fill, 0));
	EXPECT_EQ(qAlpha(image.pixel(43, 100)), 0);
	// Round joins: the corner of the outline is cut off.
	EXPECT_EQ(qAlpha(image.pixel(45, 45)), 0);
	EXPECT_TRUE(isOpaque(image, 48, 48, outline, 0));
}
