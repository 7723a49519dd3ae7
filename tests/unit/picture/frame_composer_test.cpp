// Pictures composed from fixed snapshots, checked at the pixels that matter.
#include "picture_fixtures.h"

#include "picture/fonts.h"
#include "picture/frame_composer.h"
#include "picture/frame_layout.h"
#include "picture/glyph_images.h"

#include <QFontInfo>
#include <gtest/gtest.h>

#include <cmath>

using namespace picture_test;

namespace {

class FrameComposerTest : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(QFontInfo(makeFont(plainPreset().style, 100)).family(), QString::fromLatin1(family))
			<< "the picture tests need the font of Debian's fonts-dejavu-core";
	}
};

// Any pixel of the row range [y0, y1) with alpha.
bool rowsHaveInk(const QImage &image, int y0, int y1)
{
	for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y) {
		for (int x = 0; x < image.width(); ++x) {
			if (alphaAt(image, x, y) != 0)
				return true;
		}
	}
	return false;
}

int maxAlphaInRows(const QImage &image, int y0, int y1)
{
	int maximum = 0;
	for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y) {
		for (int x = 0; x < image.width(); ++x)
			maximum = std::max(maximum, alphaAt(image, x, y));
	}
	return maximum;
}

bool cornersClear(const QImage &image)
{
	const int right = image.width() - 1;
	const int bottom = image.height() - 1;
	return alphaAt(image, 0, 0) == 0 && alphaAt(image, right, 0) == 0 && alphaAt(image, 0, bottom) == 0 &&
	       alphaAt(image, right, bottom) == 0;
}

} // namespace

TEST_F(FrameComposerTest, StandbyIsTransparentAroundOutlinedDigits)
{
	const Preset preset = plainPreset(200, 10);
	const QImage image = composeFrame(countingSnapshot(preset, 600000), KindStandby, 1.0);
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());
	ASSERT_EQ(image.size(), layout.naturalSize);
	EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
	EXPECT_TRUE(cornersClear(image));

	// Walk the middle of the time row from the left: the first ink is the outline, and
	// the fill begins only after about the outline's width.
	const int y = int(layout.timeRect.center().y());
	int firstInk = -1;
	int firstFill = -1;
	for (int x = 0; x < image.width() && firstFill < 0; ++x) {
		if (firstInk < 0 && alphaAt(image, x, y) != 0)
			firstInk = x;
		if (isOpaque(image, x, y, fill))
			firstFill = x;
	}
	ASSERT_GE(firstInk, 0);
	ASSERT_GE(firstFill, 0);
	EXPECT_GE(firstFill - firstInk, 8);
	EXPECT_LE(firstFill - firstInk, 13);
	EXPECT_TRUE(isOpaque(image, firstInk + 4, y, outline));
	// Inside the margin nothing is drawn.
	EXPECT_TRUE(columnsClear(image, 0, int(layout.centreRect.left()) - 11));
}

TEST_F(FrameComposerTest, WithoutOutlineOnlyTheFillIsDrawn)
{
	const Preset preset = plainPreset(200, 0);
	const QImage image = composeFrame(countingSnapshot(preset, 600000), KindStandby, 1.0);
	int outlined = 0;
	int filled = 0;
	for (int y = 0; y < image.height(); ++y) {
		for (int x = 0; x < image.width(); ++x) {
			outlined += isOpaque(image, x, y, outline, 40) ? 1 : 0;
			filled += isOpaque(image, x, y, fill) ? 1 : 0;
		}
	}
	EXPECT_EQ(outlined, 0);
	EXPECT_GT(filled, 1000);
}

TEST_F(FrameComposerTest, DigitsChangeWithTheTimeButTheSizeDoesNot)
{
	const Preset preset = plainPreset(100, 6);
	const QImage ten = composeFrame(countingSnapshot(preset, 600000), KindStandby, 1.0);
	const QImage nine = composeFrame(countingSnapshot(preset, 599000), KindStandby, 1.0);
	// 599.5 s left still shows 10:00.
	const QImage stillTen = composeFrame(countingSnapshot(preset, 599500), KindStandby, 1.0);
	EXPECT_EQ(ten.size(), nine.size());
	EXPECT_NE(ten, nine);
	EXPECT_EQ(ten, stillTen);
}

// A composer kept from frame to frame draws again only the digits that changed, at the
// render thread's scale and at the dock preview's: each second is what a fresh one draws.
TEST_F(FrameComposerTest, AKeptComposerDrawsEachSecondAsAFreshOneDoes)
{
	const Preset preset = plainPreset(100, 6);
	for (const double scale : {1.0, 0.27}) {
		FrameComposer kept(KindStandby, scale);
		for (int64_t left = 603000; left >= 588000; left -= 1000) { // 10:03 to 9:48: each digit changes
			const ShowSnapshot snapshot = countingSnapshot(preset, left);
			EXPECT_EQ(flattenLayers(kept.compose(snapshot)), composeFrame(snapshot, KindStandby, scale))
				<< "scale " << scale << ", " << left << " ms left";
		}
	}
}

TEST_F(FrameComposerTest, ScaleSetsTheImageSize)
{
	const Preset preset = plainPreset(200, 10);
	const QSize natural = measureFrame(preset, nullptr, KindStandby);
	const QImage half = composeFrame(countingSnapshot(preset, 600000), KindStandby, 0.5);
	EXPECT_EQ(half.size(),
		  QSize(int(std::lround(natural.width() * 0.5)), int(std::lround(natural.height() * 0.5))));
	const QImage tiny = composeFrame(countingSnapshot(preset, 600000), KindStandby, 0.0);
	EXPECT_EQ(tiny.size(),
		  QSize(int(std::lround(natural.width() * 0.02)), int(std::lround(natural.height() * 0.02))));
	const QImage huge = composeFrame(countingSnapshot(preset, 600000), KindStandby, 100.0);
	EXPECT_EQ(huge.width(), int(std::lround(natural.width() * 4.0)));
}

TEST_F(FrameComposerTest, ScaledPictureLooksLikeTheFullOneShrunk)
{
	const Preset preset = plainPreset(200, 10);
	const ShowSnapshot snapshot = countingSnapshot(preset, 600000);
	const QImage full = composeFrame(snapshot, KindStandby, 1.0);
	const QImage half = composeFrame(snapshot, KindStandby, 0.5);
	const QRect fullInk = inkBounds(full);
	const QRect halfInk = inkBounds(half);
	EXPECT_NEAR(halfInk.left(), fullInk.left() * 0.5, 2);
	EXPECT_NEAR(halfInk.right(), fullInk.right() * 0.5, 2);
	EXPECT_NEAR(halfInk.top(), fullInk.top() * 0.5, 2);
}

TEST_F(FrameComposerTest, LongMessageIsShrunkNotClippedAtThe4096Cap)
{
	Preset preset = plainPreset(200, 10);
	preset.messages = QStringList{QString(300, QLatin1Char('W'))};
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());
	const QImage image = composeFrame(countingSnapshot(preset, 600000), KindStandby, 1.0);
	ASSERT_EQ(image.width(), 4096);
	const int top = int(layout.messageRect.top());
	const int bottom = int(std::ceil(layout.messageRect.bottom()));
	EXPECT_TRUE(rowsHaveInk(image, top, bottom));
	// The margins stay clear, and the message reaches close to both of them.
	EXPECT_TRUE(columnsClear(image, 0, 10));
	EXPECT_TRUE(columnsClear(image, 4096 - 10, 4096));
	const QRect ink = inkBounds(image);
	EXPECT_LT(ink.left(), 28 + 60);
	EXPECT_GT(ink.right(), 4096 - 28 - 60);
}

TEST_F(FrameComposerTest, TimeWiderThanMeasuredIsSqueezedIntoTheCentreRow)
{
	Preset preset = plainPreset(200, 10);
	preset.count_mode = 0; // measured for 9:59:59
	const QImage image = composeFrame(countingSnapshot(preset, 11 * 3600000LL), KindStandby, 1.0);
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());
	const QRect ink = inkBounds(image);
	// The outline may reach past the centre row by its width, never past the picture.
	EXPECT_GE(ink.left(), int(layout.centreRect.left()) - 12);
	EXPECT_LE(ink.right(), int(std::ceil(layout.centreRect.right())) + 12);
	EXPECT_TRUE(cornersClear(image));
}

TEST_F(FrameComposerTest, TitleAndMessageAreDrawnInTheirRows)
{
	Preset preset = plainPreset(200, 10);
	preset.title = QStringLiteral("Soon");
	preset.messages = QStringList{QStringLiteral("first"), QStringLiteral("second")};
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());

	const QImage shown = composeFrame(countingSnapshot(preset, 600000, 3000), KindStandby, 1.0);
	EXPECT_TRUE(rowsHaveInk(shown, int(layout.titleRect.top()), int(layout.titleRect.bottom())));
	EXPECT_EQ(maxAlphaInRows(shown, int(layout.messageRect.top()) + 2, int(layout.messageRect.bottom()) - 2), 255);

	// Half way into the fade the message is drawn at half opacity.
	const QImage fading = composeFrame(countingSnapshot(preset, 600000, 6250), KindStandby, 1.0);
	EXPECT_NEAR(maxAlphaInRows(fading, int(layout.messageRect.top()) + 2, int(layout.messageRect.bottom()) - 2),
		    128, 1);
	// At the change itself nothing shows in the message row.
	const QImage hidden = composeFrame(countingSnapshot(preset, 600000, 6000), KindStandby, 1.0);
	EXPECT_FALSE(rowsHaveInk(hidden, int(layout.messageRect.top()) + 2, int(layout.messageRect.bottom()) - 2));
}

TEST_F(FrameComposerTest, EndTextReplacesTheTimeAfterZeroAndPopsIn)
{
	Preset preset = plainPreset(200, 10);
	preset.end_text = QStringLiteral("GO");
	const QImage settled = composeFrame(afterZeroSnapshot(preset, 2000), KindStandby, 1.0);
	const QImage popping = composeFrame(afterZeroSnapshot(preset, 0), KindStandby, 1.0);
	const QImage overshoot = composeFrame(afterZeroSnapshot(preset, 250), KindStandby, 1.0);
	const QRect settledInk = inkBounds(settled);
	const QRect poppingInk = inkBounds(popping);
	const QRect overshootInk = inkBounds(overshoot);
	EXPECT_NEAR(poppingInk.width(), settledInk.width() * 0.7, 3);
	EXPECT_GT(overshootInk.width(), settledInk.width());

	// Without an end text the time stays, at zero.
	preset.end_text.clear();
	const QImage zero = composeFrame(afterZeroSnapshot(preset, 2000), KindStandby, 1.0);
	EXPECT_EQ(zero, composeFrame(countingSnapshot(preset, 0), KindStandby, 1.0));
}

TEST_F(FrameComposerTest, HeldShowsTheHoldTextWithoutPop)
{
	Preset preset = plainPreset(200, 10);
	preset.end_text = QStringLiteral("GO");
	preset.holdText = QStringLiteral("WAIT");
	ShowSnapshot held = afterZeroSnapshot(preset, 0);
	held.held = true;
	ShowSnapshot heldLater = afterZeroSnapshot(preset, 3000);
	heldLater.held = true;
	const QImage now = composeFrame(held, KindStandby, 1.0);
	EXPECT_EQ(now, composeFrame(heldLater, KindStandby, 1.0));
	EXPECT_NE(now, composeFrame(afterZeroSnapshot(preset, 3000), KindStandby, 1.0));
}

TEST_F(FrameComposerTest, GrownTimeStaysGrownAfterZero)
{
	Preset preset = plainPreset(200, 10);
	const QRect plain = inkBounds(composeFrame(afterZeroSnapshot(preset, 2000), KindStandby, 1.0));
	preset.last_ten = 1;
	const QRect grown = inkBounds(composeFrame(afterZeroSnapshot(preset, 2000), KindStandby, 1.0));
	EXPECT_NEAR(grown.width(), plain.width() * 1.3, 4);
}

TEST_F(FrameComposerTest, BreakPictureShowsLabelAndTime)
{
	Preset preset = plainPreset(200, 10);
	preset.break_text = QStringLiteral("Break");
	ShowSnapshot snapshot = idleSnapshot(preset);
	snapshot.countdown.phase = PhaseBreak;
	snapshot.breakActive = true;
	snapshot.breakEndsAt = snapshot.nowMono + 65000;
	const QImage image = composeFrame(snapshot, KindBreak, 1.0);
	const BreakLayout layout(preset, nullptr, currentPictureTexts());
	ASSERT_EQ(image.size(), layout.naturalSize);
	EXPECT_TRUE(cornersClear(image));
	EXPECT_TRUE(columnsClear(image, 0, int(layout.rowRect.left()) - 11));
	// The label starts the row: ink right at its left edge, outline first.
	const int y = int(layout.rowRect.center().y());
	bool outlineAtStart = false;
	for (int x = int(layout.rowRect.left()) - 10; x < int(layout.rowRect.left()) + 10; ++x)
		outlineAtStart = outlineAtStart || isOpaque(image, x, y, outline);
	EXPECT_TRUE(outlineAtStart);

	snapshot.breakEndsAt = snapshot.nowMono + 64000;
	EXPECT_NE(image, composeFrame(snapshot, KindBreak, 1.0));
}

TEST_F(FrameComposerTest, OtherKindsDrawStandby)
{
	const Preset preset = plainPreset(100, 5);
	const ShowSnapshot snapshot = countingSnapshot(preset, 600000);
	EXPECT_EQ(composeFrame(snapshot, 5, 1.0), composeFrame(snapshot, KindStandby, 1.0));
}

TEST_F(FrameComposerTest, DigitPicturesAreDrawnAboveTheText)
{
	const Preset preset = plainPreset(200, 10);
	auto glyphs = std::make_shared<GlyphImages>();
	glyphs->exists = true;
	for (int digit = 0; digit <= 9; ++digit)
		glyphs->images[digit] = solidImage(100, 200, Qt::green);
	ShowSnapshot snapshot = countingSnapshot(preset, 600000);
	snapshot.glyphs = glyphs;
	const StandbyLayout layout(preset, glyphs.get(), currentPictureTexts());
	const QImage image = composeFrame(snapshot, KindStandby, 1.0);
	// The first digit's picture fills the time row's left end.
	const QPointF inside(layout.timeRect.left() + 40, layout.timeRect.center().y());
	EXPECT_TRUE(isOpaque(image, int(inside.x()), int(inside.y()), QColor(Qt::green)));
}
