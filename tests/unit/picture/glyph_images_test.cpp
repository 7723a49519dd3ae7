// Picture glyph folders built by the test: names in any case, base names and extensions
// in order, the size cap, unreadable files, the folder cache and its log line.
#include "picture_fixtures.h"

#include "show/show_state.h"
#include "log_capture.h"
#include "picture/glyph_draw.h"
#include "picture/glyph_images.h"
#include "picture/image_cache.h"
#include "picture/preset_picture.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GlyphFolder {
public:
	QString path() const { return dir.path(); }

	// Writes a picture of one colour; the format follows the file's extension.
	void picture(const QString &name, const QColor &colour, QSize size = QSize(40, 80)) const
	{
		QImage image(size, QImage::Format_ARGB32);
		image.fill(colour);
		ASSERT_TRUE(image.save(dir.filePath(name))) << name.toStdString();
	}

	void junk(const QString &name) const
	{
		QFile file(dir.filePath(name));
		ASSERT_TRUE(file.open(QIODevice::WriteOnly));
		file.write("not a picture at all");
	}

private:
	QTemporaryDir dir;
};

QRgb centreOf(const QImage &image)
{
	return image.pixel(image.width() / 2, image.height() / 2);
}

} // namespace

TEST(GlyphImages, WebpCanBeWritten)
{
	ASSERT_TRUE(QImageWriter::supportedImageFormats().contains("webp"))
		<< "the glyph tests need Qt's WebP image plug-in (qt5-/qt6-image-formats-plugins)";
}

TEST(GlyphImages, DigitsAreFoundWhateverTheirCase)
{
	GlyphFolder folder;
	for (int digit = 0; digit <= 9; ++digit)
		folder.picture(QStringLiteral("%1.PNG").arg(digit), Qt::red);
	const auto glyphs = loadGlyphImages(folder.path());
	ASSERT_TRUE(glyphs->exists);
	for (int digit = 0; digit <= 9; ++digit)
		EXPECT_FALSE(glyphs->images[digit].isNull()) << digit;
	EXPECT_EQ(glyphStatus(*glyphs), QStringList{QString::fromUtf8("0〜9")});
	EXPECT_TRUE(hasAnyGlyph(*glyphs));
}

TEST(GlyphImages, BaseNamesAreTriedInOrder)
{
	GlyphFolder folder;
	folder.picture(QStringLiteral("colon.png"), Qt::red);
	folder.picture(QString::fromUtf8("：.webp"), Qt::blue);
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_EQ(centreOf(glyphs->images[GlyphColon]), qRgb(255, 0, 0));
}

TEST(GlyphImages, ExtensionsAreTriedInOrder)
{
	GlyphFolder folder;
	folder.picture(QStringLiteral("colon.bmp"), Qt::blue);
	folder.picture(QStringLiteral("Colon.Png"), Qt::red);
	folder.picture(QStringLiteral("title.jpeg"), Qt::blue);
	folder.picture(QStringLiteral("TITLE.JPG"), Qt::red);
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_EQ(centreOf(glyphs->images[GlyphColon]), qRgb(255, 0, 0));
	const QRgb title = centreOf(glyphs->images[GlyphTitle]);
	EXPECT_GT(qRed(title), 240);
	EXPECT_LT(qBlue(title), 16);
}

TEST(GlyphImages, LaterBaseNamesAndJapaneseNamesWork)
{
	GlyphFolder folder;
	folder.picture(QString::fromUtf8("休憩中.webp"), Qt::red);
	folder.picture(QString::fromUtf8("0のとき.jpg"), Qt::red);
	folder.picture(QString::fromUtf8("分.png"), Qt::red);
	folder.picture(QStringLiteral("ATO.bmp"), Qt::red);
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_FALSE(glyphs->images[GlyphBreak].isNull());
	EXPECT_FALSE(glyphs->images[GlyphEnd].isNull());
	EXPECT_FALSE(glyphs->images[GlyphMinutes].isNull());
	EXPECT_FALSE(glyphs->images[GlyphLeftWords].isNull());
	EXPECT_TRUE(glyphs->images[GlyphHours].isNull());
	EXPECT_EQ(glyphStatus(*glyphs), (QStringList{QStringLiteral("time-left words"), QStringLiteral("minutes"),
						     QStringLiteral("end"), QStringLiteral("break")}));
}

TEST(GlyphImages, SingleDigitsAreListedOneByOne)
{
	GlyphFolder folder;
	folder.picture(QStringLiteral("7.jpg"), Qt::red);
	folder.picture(QStringLiteral("3.jpg"), Qt::red);
	folder.picture(QStringLiteral("colon.png"), Qt::red);
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_EQ(glyphStatus(*glyphs),
		  (QStringList{QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("colon")}));
	EXPECT_TRUE(glyphs->images[0].isNull());
}

TEST(GlyphImages, LargePicturesAreCappedAt1024KeepingTheirShape)
{
	GlyphFolder folder;
	folder.picture(QStringLiteral("title.png"), Qt::red, QSize(4000, 2000));
	folder.picture(QStringLiteral("end.png"), Qt::red, QSize(300, 3000));
	folder.picture(QStringLiteral("break.png"), Qt::red, QSize(1024, 1024));
	folder.picture(QStringLiteral("ato.jpg"), Qt::red, QSize(3000, 1500)); // decoded straight to the cap
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_EQ(glyphs->images[GlyphTitle].size(), QSize(1024, 512));
	EXPECT_EQ(glyphs->images[GlyphLeftWords].size(), QSize(1024, 512));
	EXPECT_EQ(glyphs->images[GlyphEnd].size(), QSize(102, 1024));
	EXPECT_EQ(glyphs->images[GlyphBreak].size(), QSize(1024, 1024));
	for (const QImage &image : glyphs->images) {
		if (!image.isNull()) {
			EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
		}
	}
}

TEST(GlyphImages, PicturesTooLargeToDecodeAreRefusedFromTheirHeader)
{
	GlyphFolder folder;
	// One row more than 64 MiB of 32-bit pixels, written in grey: quick and small on disk.
	QImage huge(4096, 4097, QImage::Format_Grayscale8);
	huge.fill(0);
	ASSERT_TRUE(huge.save(QDir(folder.path()).filePath(QStringLiteral("colon.png"))));
	folder.picture(QString::fromUtf8("：.png"), Qt::blue);
	folder.picture(QStringLiteral("5.png"), Qt::red);
	LogCapture log;
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_EQ(centreOf(glyphs->images[GlyphColon]), qRgb(0, 0, 255)) << "the next candidate is used";
	EXPECT_EQ(glyphs->tooLarge, QStringList{QStringLiteral("colon.png")});
	EXPECT_EQ(glyphStatus(*glyphs),
		  (QStringList{QStringLiteral("5"), QStringLiteral("colon"), QStringLiteral("colon.png (too large)")}));
	const std::string line = "[curtainup] picture '" + QDir(folder.path()).filePath("colon.png").toStdString() +
				 "' is too large to use (4096x4097)";
	EXPECT_EQ(log.count(line), 1);
	EXPECT_EQ(log.lines().size(), 1u);
}

TEST(GlyphImages, UnreadableFilesAreSkippedForTheNextCandidate)
{
	GlyphFolder folder;
	folder.junk(QStringLiteral("colon.png"));
	folder.picture(QStringLiteral("colon.jpg"), Qt::red);
	folder.junk(QStringLiteral("5.png"));
	const auto glyphs = loadGlyphImages(folder.path());
	EXPECT_FALSE(glyphs->images[GlyphColon].isNull());
	EXPECT_TRUE(glyphs->images[5].isNull());
	EXPECT_EQ(glyphStatus(*glyphs), QStringList{QStringLiteral("colon")});
}

TEST(GlyphImages, FormatComesFromTheContents)
{
	GlyphFolder folder;
	folder.picture(QStringLiteral("real.jpg"), Qt::red);
	ASSERT_TRUE(QFile::rename(QDir(folder.path()).filePath(QStringLiteral("real.jpg")),
				  QDir(folder.path()).filePath(QStringLiteral("4.png"))));
	EXPECT_FALSE(loadGlyphImages(folder.path())->images[4].isNull());
}

TEST(GlyphImages, MissingFolderHasNoPictures)
{
	const auto glyphs = loadGlyphImages(QStringLiteral("/nonexistent/curtainup/glyphs"));
	EXPECT_FALSE(glyphs->exists);
	EXPECT_FALSE(hasAnyGlyph(*glyphs));
	EXPECT_TRUE(glyphStatus(*glyphs).isEmpty());
}

TEST(GlyphFolderCache, LoadsOnceAndLogsOnce)
{
	GlyphFolder folder;
	for (int digit = 0; digit <= 9; ++digit)
		folder.picture(QStringLiteral("%1.png").arg(digit), Qt::red);
	folder.picture(QStringLiteral("colon.png"), Qt::red);
	LogCapture log;
	const auto first = glyphsForFolder(folder.path(), false);
	const std::string line = "[curtainup] pictures from '" + folder.path().toStdString() +
				 "': " + QString::fromUtf8("0〜9, colon").toStdString();
	EXPECT_EQ(log.count(line), 1);

	const auto second = glyphsForFolder(folder.path(), false);
	EXPECT_EQ(first, second);
	EXPECT_EQ(log.lines().size(), 1u);

	folder.picture(QStringLiteral("title.png"), Qt::red);
	EXPECT_EQ(glyphsForFolder(folder.path(), false), first); // new files wait for a reload
	const auto reloaded = glyphsForFolder(folder.path(), true);
	EXPECT_NE(reloaded, first);
	EXPECT_FALSE(reloaded->images[GlyphTitle].isNull());
	EXPECT_EQ(log.count("[curtainup] pictures from"), 2);
	EXPECT_EQ(glyphsForFolder(folder.path(), false), reloaded);
}

TEST(GlyphFolderCache, EmptyFolderStringGivesNothingAndNoLog)
{
	LogCapture log;
	EXPECT_EQ(glyphsForFolder(QString(), false), nullptr);
	EXPECT_EQ(glyphsForFolder(QString(), true), nullptr);
	EXPECT_TRUE(log.lines().empty());
}

TEST(GlyphFolderCache, MissingFolderLogsNone)
{
	LogCapture log;
	const QString missing = QStringLiteral("/nonexistent/curtainup/cache-test");
	const auto glyphs = glyphsForFolder(missing, false);
	ASSERT_NE(glyphs, nullptr);
	EXPECT_FALSE(glyphs->exists);
	EXPECT_EQ(log.count("[curtainup] pictures from '/nonexistent/curtainup/cache-test': none"), 1);
}

TEST(GlyphFolderCache, ReloadGlyphsOfTheShowStateReadsTheFolderAgain)
{
	GlyphFolder folder;
	folder.picture(QStringLiteral("1.png"), Qt::red);
	ShowState state;
	Preset preset;
	preset.style.font = QStringLiteral("DejaVu Sans");
	preset.style.image_folder = folder.path();
	showPreset(state, preset);
	const auto before = state.snapshot().glyphs;
	ASSERT_NE(before, nullptr);
	EXPECT_TRUE(before->images[2].isNull());
	const uint64_t revision = state.revision();

	folder.picture(QStringLiteral("2.png"), Qt::red);
	showPreset(state, preset);
	EXPECT_TRUE(state.snapshot().glyphs->images[2].isNull());

	reloadShownGlyphs(state);
	const auto after = state.snapshot().glyphs;
	EXPECT_FALSE(after->images[2].isNull());
	EXPECT_GT(state.revision(), revision);
	// Glyph pictures change the natural size.
	EXPECT_NE(state.naturalSize(KindStandby), QSize(800, 300));
}

TEST(GlyphDraw, ScaledCopiesAreMadeOncePerHeight)
{
	const QImage picture = picture_test::solidImage(100, 200, Qt::red);
	QImage canvas = picture_test::solidImage(400, 400, Qt::transparent);
	QPainter painter(&canvas);
	const int before = glyphPictureCache().count();
	drawGlyph(painter, QRectF(10, 10, 50, 100), picture);
	drawGlyph(painter, QRectF(200.3, 50.2, 50, 100.2), picture);
	EXPECT_EQ(glyphPictureCache().count(), before + 1);
	drawGlyph(painter, QRectF(10, 10, 25, 50), picture);
	EXPECT_EQ(glyphPictureCache().count(), before + 2);
	drawGlyph(painter, QRectF(10, 10, 25, 0.5), picture); // too low to draw
	drawGlyph(painter, QRectF(10, 10, 25, 50), QImage());
	EXPECT_EQ(glyphPictureCache().count(), before + 2);
	painter.end();
	EXPECT_EQ(canvas.pixel(30, 60), qRgb(255, 0, 0));
	EXPECT_EQ(qAlpha(canvas.pixel(5, 5)), 0);
}

TEST(GlyphDraw, AlignedPictureKeepsItsAspect)
{
	const QImage picture = picture_test::solidImage(100, 50, Qt::red);
	QImage canvas = picture_test::solidImage(300, 100, Qt::transparent);
	QPainter painter(&canvas);
	drawGlyphAligned(painter, QRectF(0, 0, 300, 100), 40, picture, 2); // 80 x 40 at the right
	painter.end();
	EXPECT_EQ(canvas.pixel(299, 50), qRgb(255, 0, 0));
	EXPECT_EQ(canvas.pixel(221, 50), qRgb(255, 0, 0));
	EXPECT_EQ(qAlpha(canvas.pixel(218, 50)), 0);
	EXPECT_EQ(qAlpha(canvas.pixel(260, 25)), 0);
	EXPECT_EQ(canvas.pixel(260, 35), qRgb(255, 0, 0));
}
