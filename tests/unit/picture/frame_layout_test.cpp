// Where the parts of the standby and break pictures go and how large the pictures are.
#include "picture_fixtures.h"

#include "picture/fonts.h"
#include "picture/frame_layout.h"
#include "picture/glyph_images.h"
#include "picture/preset_picture.h"
#include "picture/text_geometry.h"
#include "show/show_state.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <gtest/gtest.h>

#include <cmath>

using namespace picture_test;

namespace {

class FrameLayoutTest : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(QFontInfo(makeFont(plainPreset().style, 100)).family(), QString::fromLatin1(family))
			<< "the picture tests need the font of Debian's fonts-dejavu-core";
	}
};

QFontMetricsF metricsAt(const Preset &preset, double pixelSize)
{
	return QFontMetricsF(makeFont(preset.style, pixelSize));
}

// "00:00" in the big font: four zeros and a colon by their ink, with digit gaps between.
double zeroClockWidth(const Preset &preset)
{
	const double s = preset.style.size;
	const QFontMetricsF big = metricsAt(preset, s);
	return 4 * big.tightBoundingRect(QStringLiteral("0")).width() +
	       big.tightBoundingRect(QStringLiteral(":")).width() + 4 * s * 0.15;
}

std::shared_ptr<GlyphImages> digitPictures(int width, int height)
{
	auto glyphs = std::make_shared<GlyphImages>();
	glyphs->exists = true;
	for (int digit = 0; digit <= 9; ++digit)
		glyphs->images[digit] = solidImage(width, height, Qt::green);
	return glyphs;
}

} // namespace

TEST_F(FrameLayoutTest, StandbyTimeOnly)
{
	const Preset preset = plainPreset(200, 10);
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());
	const double margin = 200 * 0.08 + 10 + 2;
	const QRectF zero = metricsAt(preset, 200).tightBoundingRect(QStringLiteral("0"));
	const double endLine = metricsAt(preset, 100).height();
	const double width = zeroClockWidth(preset) * 1.02;
	const double centreHeight = std::max(zero.height(), endLine * 1.1);

	EXPECT_TRUE(layout.titleRect.isEmpty());
	EXPECT_TRUE(layout.messageRect.isEmpty());
	EXPECT_DOUBLE_EQ(layout.zeroHeight, zero.height());
	EXPECT_DOUBLE_EQ(layout.zeroTop, zero.top());
	EXPECT_NEAR(layout.centreRect.x(), margin, 1e-9);
	EXPECT_NEAR(layout.centreRect.y(), margin, 1e-9);
	EXPECT_NEAR(layout.centreRect.width(), width, 1e-6);
	EXPECT_NEAR(layout.centreRect.height(), centreHeight, 1e-6);
	EXPECT_NEAR(layout.timeRect.width(), width, 1e-6);
	EXPECT_NEAR(layout.timeRect.height(), zero.height(), 1e-6);
	EXPECT_NEAR(layout.timeRect.center().y(), layout.centreRect.center().y(), 1e-6);
	EXPECT_EQ(layout.naturalSize,
		  QSize(int(std::ceil(width + 2 * margin)), int(std::ceil(margin + centreHeight + margin))));
	EXPECT_EQ(measureFrame(preset, nullptr, KindStandby), layout.naturalSize);
}

TEST_F(FrameLayoutTest, TitleAndMessageAddTheirRowsWithGaps)
{
	const Preset bare = plainPreset(200, 10);
	Preset preset = bare;
	preset.title = QStringLiteral("  Hi  ");
	preset.messages = QStringList{QStringLiteral("one"), QStringLiteral("two")};
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());
	const StandbyLayout bareLayout(bare, nullptr, currentPictureTexts());
	const double margin = 28;
	const double gap = 10 * 1.5 + 200 * 0.06;
	const double titleHeight = metricsAt(preset, 72).height();
	const double messageHeight = metricsAt(preset, 52).height();

	EXPECT_NEAR(layout.titleRect.y(), margin, 1e-9);
	EXPECT_NEAR(layout.titleRect.height(), titleHeight, 1e-9);
	EXPECT_NEAR(layout.centreRect.y(), margin + titleHeight + gap, 1e-9);
	EXPECT_NEAR(layout.messageRect.y(), layout.centreRect.bottom() + gap, 1e-9);
	EXPECT_NEAR(layout.messageRect.height(), messageHeight, 1e-9);
	EXPECT_EQ(layout.naturalSize.height(), int(std::ceil(layout.messageRect.bottom() + margin)));
	// Short texts do not widen the picture: the time row sets the width.
	EXPECT_EQ(layout.naturalSize.width(), bareLayout.naturalSize.width());
	EXPECT_EQ(layout.messages, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
}

TEST_F(FrameLayoutTest, AlignmentPlacesTheTimeInTheCentreRow)
{
	Preset preset = plainPreset();
	preset.title = QStringLiteral("A much longer title than the time row");
	preset.style.align = TextAlignLeft;
	const StandbyLayout left(preset, nullptr, currentPictureTexts());
	EXPECT_DOUBLE_EQ(left.timeRect.left(), left.centreRect.left());
	ASSERT_GT(left.centreRect.width(), left.timeRect.width() + 10);

	preset.style.align = TextAlignRight;
	const StandbyLayout right(preset, nullptr, currentPictureTexts());
	EXPECT_NEAR(right.timeRect.right(), right.centreRect.right(), 1e-9);

	preset.style.align = TextAlignCentre;
	const StandbyLayout centre(preset, nullptr, currentPictureTexts());
	EXPECT_NEAR(centre.timeRect.center().x(), centre.centreRect.center().x(), 1e-9);
}

TEST_F(FrameLayoutTest, LastTenLeavesRoomToGrowOrHop)
{
	Preset preset = plainPreset();
	const StandbyLayout still(preset, nullptr, currentPictureTexts());
	const double h = still.timeRect.height();

	preset.last_ten = 1;
	const StandbyLayout grow(preset, nullptr, currentPictureTexts());
	EXPECT_NEAR(grow.centreRect.width(), still.timeRect.width() * 1.3, 1e-6);
	EXPECT_NEAR(grow.centreRect.height(), std::max(h * 1.3, still.centreRect.height()), 1e-6);

	preset.last_ten = 2;
	const StandbyLayout bounce(preset, nullptr, currentPictureTexts());
	const double lift = h * 0.3;
	const double centreHeight = std::max(h * 1.06 + lift, still.centreRect.height());
	EXPECT_NEAR(bounce.centreRect.height(), centreHeight, 1e-6);
	EXPECT_NEAR(bounce.timeRect.y(), bounce.centreRect.y() + lift + (centreHeight - lift - h) * 0.5, 1e-6);
}

TEST_F(FrameLayoutTest, UntilTimeIsMeasuredForNineHoursFiftyNine)
{
	Preset preset = plainPreset();
	preset.count_mode = 0;
	preset.messages = QStringList{QStringLiteral("x")};
	const StandbyLayout until(preset, nullptr, currentPictureTexts());
	const QFontMetricsF big = metricsAt(preset, 200);
	const double zero = big.tightBoundingRect(QStringLiteral("0")).width();
	const double colon = big.tightBoundingRect(QStringLiteral(":")).width();
	// "0:00:00": five zeros, two colons, six gaps.
	EXPECT_NEAR(until.timeRect.width(), (5 * zero + 2 * colon + 6 * 30) * 1.02, 1e-6);
}

TEST_F(FrameLayoutTest, LongestMessageWidensThePictureUpTo4096)
{
	Preset preset = plainPreset();
	preset.messages = QStringList{QStringLiteral("short"), QString(40, QLatin1Char('W'))};
	const StandbyLayout wide(preset, nullptr, currentPictureTexts());
	const double messageWidth = metricsAt(preset, 52).horizontalAdvance(QString(40, QLatin1Char('W')));
	EXPECT_EQ(wide.naturalSize.width(), int(std::ceil(messageWidth + 2 * 28)));

	preset.messages << QString(400, QLatin1Char('W'));
	const StandbyLayout capped(preset, nullptr, currentPictureTexts());
	EXPECT_EQ(capped.naturalSize.width(), 4096);
	EXPECT_NEAR(capped.centreRect.width(), 4096 - 2 * 28, 1e-9);
}

TEST_F(FrameLayoutTest, EndAndHoldTextsWidenTheCentreRow)
{
	Preset preset = plainPreset();
	preset.holdText = QString(30, QLatin1Char('H'));
	const StandbyLayout layout(preset, nullptr, currentPictureTexts());
	EXPECT_NEAR(layout.centreRect.width(), metricsAt(preset, 100).horizontalAdvance(preset.holdText) * 1.1, 1e-6);
}

TEST_F(FrameLayoutTest, SizesAreClampedAndScaleTheWholePicture)
{
	EXPECT_EQ(measureFrame(plainPreset(5000, 10), nullptr, KindStandby),
		  measureFrame(plainPreset(1000, 10), nullptr, KindStandby));
	EXPECT_EQ(measureFrame(plainPreset(1, 0), nullptr, KindBreak),
		  measureFrame(plainPreset(20, 0), nullptr, KindBreak));
	const QSize small = measureFrame(plainPreset(100, 0), nullptr, KindStandby);
	const QSize large = measureFrame(plainPreset(400, 0), nullptr, KindStandby);
	EXPECT_NEAR(double(large.width()) / small.width(), 4.0, 0.2);
	EXPECT_NEAR(double(large.height()) / small.height(), 4.0, 0.2);
}

TEST_F(FrameLayoutTest, DigitPicturesSetTheirOwnWidthWithoutGaps)
{
	const Preset preset = plainPreset(200, 10);
	const auto glyphs = digitPictures(100, 200);
	const StandbyLayout layout(preset, glyphs.get(), currentPictureTexts());
	// A digit picture is 170 high (0.85 of the size), so 85 wide; the colon stays text.
	const double colon = metricsAt(preset, 200).tightBoundingRect(QStringLiteral(":")).width();
	EXPECT_NEAR(layout.timeRect.width(), (4 * 85 + colon) * 1.02, 1e-6);
	EXPECT_NEAR(layout.timeRect.height(), std::max(170.0, layout.zeroHeight), 1e-9);
}

TEST_F(FrameLayoutTest, BreakRowHoldsTheLabelThenTheTime)
{
	Preset preset = plainPreset(200, 10);
	preset.break_text = QStringLiteral(" Break ");
	const BreakLayout layout(preset, nullptr, currentPictureTexts());
	const QFontMetricsF font = metricsAt(preset, 100);
	const double margin = 28;
	const double rowHeight = font.ascent() + font.descent();
	// "0:00" then the small word "left" of en-US "%1 left", every gap 15.
	const double time = 3 * font.tightBoundingRect(QStringLiteral("0")).width() +
			    font.tightBoundingRect(QStringLiteral(":")).width() +
			    font.horizontalAdvance(QStringLiteral("left")) + 4 * 15;
	const double label = font.horizontalAdvance(QStringLiteral("Break"));
	const double width = time * 1.02 + label + 45;

	EXPECT_EQ(layout.label, QStringLiteral("Break"));
	EXPECT_NEAR(layout.labelWidth, label, 1e-9);
	EXPECT_NEAR(layout.labelGap, 45, 1e-9);
	EXPECT_NEAR(layout.rowRect.width(), width, 1e-6);
	EXPECT_NEAR(layout.rowRect.height(), rowHeight, 1e-9);
	EXPECT_NEAR(layout.baseline, margin + font.ascent(), 1e-9);
	EXPECT_EQ(layout.naturalSize,
		  QSize(int(std::ceil(width + 2 * margin)), int(std::ceil(rowHeight + 2 * margin))));
	EXPECT_EQ(measureFrame(preset, nullptr, KindBreak), layout.naturalSize);
}

TEST_F(FrameLayoutTest, BreakWithoutLabelHasNoLabelGap)
{
	Preset preset = plainPreset(200, 10);
	const BreakLayout bare(preset, nullptr, currentPictureTexts());
	preset.break_text = QStringLiteral("Break");
	const BreakLayout labelled(preset, nullptr, currentPictureTexts());
	EXPECT_DOUBLE_EQ(bare.labelWidth, 0.0);
	EXPECT_NEAR(labelled.rowRect.width() - bare.rowRect.width(), labelled.labelWidth + labelled.labelGap, 1e-6);
}

TEST_F(FrameLayoutTest, AppliedPresetCarriesItsNaturalSizes)
{
	ShowState state;
	EXPECT_EQ(state.naturalSize(KindStandby), QSize(800, 300));
	EXPECT_EQ(state.naturalSize(KindBreak), QSize(600, 160));

	Preset preset = plainPreset(120, 6);
	preset.title = QStringLiteral("Starting Soon");
	preset.break_text = QStringLiteral("Break");
	showPreset(state, preset);
	EXPECT_EQ(state.naturalSize(KindStandby), measureFrame(preset, nullptr, KindStandby));
	EXPECT_EQ(state.naturalSize(KindBreak), measureFrame(preset, nullptr, KindBreak));
	EXPECT_EQ(state.naturalSize(7), state.naturalSize(KindStandby));
}
