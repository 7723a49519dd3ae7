// The last-ten animation, the end-text pop and the message rotation at given times.
#include "picture/frame_motion.h"
#include "picture/messages.h"
#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const double pi = std::acos(-1.0);
} // namespace

TEST(LastTen, GrowIsLinearOverTheLastTenSeconds)
{
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseStandby, true, 10000).scale, 1.0);
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseStandby, true, 5000).scale, 1.15);
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseStandby, true, 1000).scale, 1.27);
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseStandby, true, 5000).liftShare, 0.0);
}

TEST(LastTen, NothingMovesOutsideTheLastTenSecondsOrOutsideStandby)
{
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseStandby, true, 10001).scale, 1.0);
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseIdle, true, 5000).scale, 1.0);
	EXPECT_DOUBLE_EQ(lastTenMotion(2, PhaseIdle, true, 9700).liftShare, 0.0);
	EXPECT_DOUBLE_EQ(lastTenMotion(0, PhaseStandby, true, 5000).scale, 1.0);
}

TEST(LastTen, GrownTimeStaysGrownAfterZero)
{
	EXPECT_DOUBLE_EQ(lastTenMotion(1, PhaseStandby, false, 0).scale, 1.3);
	EXPECT_DOUBLE_EQ(lastTenMotion(2, PhaseStandby, false, 0).scale, 1.0);
	EXPECT_DOUBLE_EQ(lastTenMotion(0, PhaseStandby, false, 0).scale, 1.0);
}

TEST(LastTen, BounceHopsInTheFirst400MsOfEachSecond)
{
	// 9 700 ms left: 300 ms of the shown second have passed.
	const RowMotion hop = lastTenMotion(2, PhaseStandby, true, 9700);
	EXPECT_NEAR(hop.liftShare, std::sin(0.75 * pi) * 0.3, 1e-12);
	EXPECT_NEAR(hop.scale, 1 + 0.06 * std::sin(0.75 * pi), 1e-12);

	// 9 500 ms left: past the hop, at rest.
	const RowMotion rest = lastTenMotion(2, PhaseStandby, true, 9500);
	EXPECT_DOUBLE_EQ(rest.liftShare, 0.0);
	EXPECT_DOUBLE_EQ(rest.scale, 1.0);

	// On a whole second the hop starts from the ground.
	EXPECT_DOUBLE_EQ(lastTenMotion(2, PhaseStandby, true, 9000).liftShare, 0.0);
	// 200 ms in: the top of the hop.
	EXPECT_NEAR(lastTenMotion(2, PhaseStandby, true, 8800).liftShare, 0.3, 1e-12);
}

TEST(EndPop, OvershootsThenSettles)
{
	EXPECT_DOUBLE_EQ(endPopScale(0), 0.7);
	EXPECT_NEAR(endPopScale(250), 0.7 + 0.3 * 1.0876975, 1e-9);
	EXPECT_GT(endPopScale(250), 1.02);
	EXPECT_DOUBLE_EQ(endPopScale(500), 1.0);
	EXPECT_DOUBLE_EQ(endPopScale(20000), 1.0);
	EXPECT_DOUBLE_EQ(endPopScale(-1), 1.0);
}

TEST(EndPop, EaseOutBackEndsAtOneAndClamps)
{
	EXPECT_NEAR(easeOutBack(0), 0.0, 1e-12);
	EXPECT_DOUBLE_EQ(easeOutBack(1), 1.0);
	EXPECT_DOUBLE_EQ(easeOutBack(2), 1.0);
	EXPECT_NEAR(easeOutBack(-1), 0.0, 1e-12);
}

TEST(Messages, ThreeLinesRotateEverySixSecondsWithFades)
{
	const QStringList lines = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
	const ShownMessage fadingIn = currentMessage(lines, 12250);
	EXPECT_EQ(fadingIn.line, QStringLiteral("c"));
	EXPECT_DOUBLE_EQ(fadingIn.opacity, 0.5);

	const ShownMessage full = currentMessage(lines, 13250);
	EXPECT_EQ(full.line, QStringLiteral("c"));
	EXPECT_DOUBLE_EQ(full.opacity, 1.0);

	const ShownMessage fadingOut = currentMessage(lines, 17900);
	EXPECT_EQ(fadingOut.line, QStringLiteral("c"));
	EXPECT_DOUBLE_EQ(fadingOut.opacity, 0.2);

	EXPECT_EQ(currentMessage(lines, 18000).line, QStringLiteral("a"));
	EXPECT_DOUBLE_EQ(currentMessage(lines, 18000).opacity, 0.0);
	EXPECT_DOUBLE_EQ(currentMessage(lines, 17500).opacity, 1.0);
}

TEST(Messages, OneLineNeverFadesAndNoneShowsNothing)
{
	const ShownMessage only = currentMessage({QStringLiteral("only")}, 12100);
	EXPECT_EQ(only.line, QStringLiteral("only"));
	EXPECT_DOUBLE_EQ(only.opacity, 1.0);
	EXPECT_TRUE(currentMessage({}, 12100).line.isEmpty());
}

TEST(Messages, LinesAreTrimmedAndEmptyOnesDropped)
{
	Preset preset;
	preset.messages = QStringList{QStringLiteral("  a "), QStringLiteral("   "), QStringLiteral("b")};
	EXPECT_EQ(messageLines(preset, currentPictureTexts()), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(Messages, UntilTimeWithoutMessagesShowsTheStartTime)
{
	Preset preset;
	preset.count_mode = 0;
	preset.target_minutes = 9 * 60 + 5;
	EXPECT_EQ(messageLines(preset, currentPictureTexts()), QStringList{QStringLiteral("Starts at 9:05")});
	preset.target_minutes = 21 * 60;
	EXPECT_EQ(startsAtLine(preset, currentPictureTexts()), QStringLiteral("Starts at 21:00"));

	preset.count_mode = 1;
	EXPECT_TRUE(startsAtLine(preset, currentPictureTexts()).isEmpty());
	EXPECT_TRUE(messageLines(preset, currentPictureTexts()).isEmpty());
}
