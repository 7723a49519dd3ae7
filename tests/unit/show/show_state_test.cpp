// The shared show state driven by a fake clock: countdown ends in both modes, wall-clock
// changes, clamping, freezing at zero, and when the revision moves.
#include "show/show_state.h"
#include "fake_clock.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Wall time of a UTC clock time on 2026-03-14 (the tests run with TZ=UTC).
int64_t utcAt(int hours, int minutes, int seconds = 0, int days = 0)
{
	const QDateTime time(QDate(2026, 3, 14).addDays(days), QTime(hours, minutes, seconds), QTimeZone::utc());
	return time.toMSecsSinceEpoch();
}

Preset presetFor(int countMode, int64_t durationMs = 600000, int targetMinutes = 1260)
{
	Preset preset = defaultPreset(QStringLiteral("Test"));
	preset.count_mode = countMode;
	preset.duration_ms = durationMs;
	preset.target_minutes = targetMinutes;
	return preset;
}

class ShowStateTest : public testing::Test {
protected:
	void SetUp() override
	{
		state.applyPreset(presetFor(1));
		state.resetCountdown();
		state.setHeld(false);
	}

	// Starts a for-length countdown of 20 s with a "last_ten" look and no messages.
	void startTwentySeconds(int lastTen)
	{
		Preset preset = presetFor(1, 20000);
		preset.last_ten = lastTen;
		preset.messages.clear();
		state.applyPreset(preset);
		state.startCountdown();
	}

	FakeClock clock{5000000, utcAt(20, 59)};
	ShowState state;
};

} // namespace

TEST_F(ShowStateTest, ForLengthCountdownIgnoresTheWallClock)
{
	const int64_t start = clock.monotonicMs();
	state.startCountdown();
	clock.jumpWall(3600000);
	state.tick();
	const ShowSnapshot snap = state.snapshot();
	EXPECT_EQ(snap.countdown.endsAt, start + 600000);
	EXPECT_EQ(snap.countdown.targetWallClock, 0);
	EXPECT_EQ(snap.remainingMs(), 600000);
	EXPECT_TRUE(state.isCounting());
}

TEST_F(ShowStateTest, UntilTimeCountdownFollowsWallClockJumpsAboveTheTolerance)
{
	state.applyPreset(presetFor(0, 600000, 21 * 60));
	const int64_t start = clock.monotonicMs();
	state.startCountdown();
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 60000);
	EXPECT_EQ(state.snapshot().countdown.targetWallClock, utcAt(21, 0));

	clock.advance(10000);
	clock.jumpWall(250); // within the tolerance: ignored
	state.tick();
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 60000);

	clock.jumpWall(750); // now a whole second ahead
	const uint64_t before = state.revision();
	state.tick();
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 59000);
	EXPECT_GT(state.revision(), before);

	clock.jumpWall(-2000);
	state.tick();
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 61000);
}

TEST_F(ShowStateTest, UntilTimeCountdownCrossesMidnight)
{
	clock.setWall(utcAt(23, 58));
	state.applyPreset(presetFor(0, 600000, 5)); // 00:05
	const int64_t start = clock.monotonicMs();
	state.startCountdown();
	EXPECT_EQ(state.snapshot().countdown.targetWallClock, utcAt(0, 5, 0, 1));
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 7 * 60000);

	clock.advance(7 * 60000);
	state.tick();
	EXPECT_TRUE(state.snapshot().zeroReached());
	EXPECT_EQ(state.snapshot().remainingMs(), 0);
	EXPECT_FALSE(state.isCounting());
}

TEST_F(ShowStateTest, StartingExactlyAtTheTargetRunsToTheNextDay)
{
	clock.setWall(utcAt(21, 0));
	state.applyPreset(presetFor(0, 600000, 21 * 60));
	state.startCountdown();
	EXPECT_EQ(state.snapshot().countdown.targetWallClock, utcAt(21, 0, 0, 1));
}

TEST_F(ShowStateTest, NextTargetHandlesEveryMinuteOfTheDayAndClampsTheSetting)
{
	EXPECT_EQ(nextTargetAfter(utcAt(10, 0), 0), utcAt(0, 0, 0, 1));
	EXPECT_EQ(nextTargetAfter(utcAt(10, 0), 1439), utcAt(23, 59));
	EXPECT_EQ(nextTargetAfter(utcAt(10, 0), 5000), utcAt(23, 59));
	EXPECT_EQ(nextTargetAfter(utcAt(23, 59, 30), 1439), utcAt(23, 59, 0, 1));
}

TEST_F(ShowStateTest, IdlePreviewShowsTheNextCountdown)
{
	EXPECT_EQ(state.snapshot().remainingMs(), 600000);
	state.applyPreset(presetFor(0, 600000, 21 * 60));
	EXPECT_EQ(state.snapshot().remainingMs(), 60000);
	EXPECT_EQ(state.snapshot().breakRemainingMs(), 300000);
	EXPECT_EQ(state.snapshot().zeroAt(), -1);
}

TEST_F(ShowStateTest, ApplyPresetClampsTheStoredCopy)
{
	state.applyPreset(presetFor(1, 500, 1500));
	EXPECT_EQ(state.snapshot().preset.duration_ms, 1000);
	EXPECT_EQ(state.snapshot().preset.target_minutes, 1439);
	Preset longOne = presetFor(1, 90000000);
	longOne.break_ms = 1;
	state.applyPreset(longOne);
	EXPECT_EQ(state.snapshot().preset.duration_ms, 86400000);
	EXPECT_EQ(state.snapshot().preset.break_ms, 1000);
}

TEST_F(ShowStateTest, ChangingTheDurationMovesARunningCountdownUntilItIsFinished)
{
	const int64_t start = clock.monotonicMs();
	state.startCountdown();
	clock.advance(5000);
	state.applyPreset(presetFor(1, 120000));
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 120000);
	EXPECT_EQ(state.snapshot().countdown.startedAt, start);

	state.finishCountdown();
	state.applyPreset(presetFor(1, 300000));
	EXPECT_EQ(state.snapshot().countdown.endsAt, start + 120000);
}

TEST_F(ShowStateTest, FinishKeepsTheFirstMomentAndNeverALaterOneThanZero)
{
	state.applyPreset(presetFor(1, 10000));
	const int64_t start = clock.monotonicMs();
	state.startCountdown();
	clock.advance(12000);
	state.finishCountdown();
	EXPECT_EQ(state.snapshot().countdown.finishedAt, start + 10000);
	EXPECT_EQ(state.snapshot().zeroAt(), start + 10000);

	const uint64_t revision = state.revision();
	clock.advance(1000);
	state.finishCountdown();
	EXPECT_EQ(state.snapshot().countdown.finishedAt, start + 10000);
	EXPECT_EQ(state.revision(), revision) << "a second finish changes nothing";
	EXPECT_FALSE(state.snapshot().zeroReached());
	EXPECT_FALSE(state.isCounting());
}

TEST_F(ShowStateTest, FinishBeforeZeroFreezesAtNow)
{
	state.startCountdown();
	clock.advance(2000);
	state.finishCountdown();
	EXPECT_EQ(state.snapshot().countdown.finishedAt, clock.monotonicMs());
	EXPECT_EQ(state.snapshot().remainingMs(), 0);
}

TEST_F(ShowStateTest, IsCountingFollowsThePhase)
{
	state.startCountdown();
	EXPECT_TRUE(state.isCounting());
	for (int phase : {PhaseOp, PhaseEnding, PhaseIdle}) {
		state.setPhase(phase);
		EXPECT_FALSE(state.isCounting()) << phaseName(phase);
	}
	state.startBreakCountdown();
	EXPECT_TRUE(state.isCounting());
	EXPECT_EQ(state.stateForProcedure().mode, std::string("break"));
	clock.advance(300000);
	EXPECT_FALSE(state.isCounting());
	EXPECT_TRUE(state.snapshot().breakOver());
}

TEST_F(ShowStateTest, BreakEndsEarlyAndLeavingReturnsToIdle)
{
	state.startBreakCountdown();
	clock.advance(1000);
	state.endBreakNow();
	EXPECT_EQ(state.snapshot().breakRemainingMs(), 0);
	EXPECT_TRUE(state.snapshot().breakOver());
	state.leaveBreak();
	EXPECT_EQ(state.phase(), PhaseIdle);
	EXPECT_EQ(state.snapshot().breakRemainingMs(), 300000);
}

TEST_F(ShowStateTest, ResetKeepsTheHeldFlag)
{
	state.setHeld(true);
	state.startCountdown();
	state.resetCountdown();
	EXPECT_TRUE(state.snapshot().held);
	EXPECT_EQ(state.phase(), PhaseIdle);
	EXPECT_EQ(state.stateForProcedure().mode, std::string("idle"));
}

TEST_F(ShowStateTest, HeldFlagBumpsTheRevisionOnlyWhenItChanges)
{
	const uint64_t start = state.revision();
	state.setHeld(true);
	EXPECT_EQ(state.revision(), start + 1);
	state.setHeld(true);
	EXPECT_EQ(state.revision(), start + 1);
}

TEST_F(ShowStateTest, StateForProcedureReadsOneConsistentAnswer)
{
	Preset preset = presetFor(1);
	preset.standby_scene = QStringLiteral("待機画面");
	state.applyPreset(preset);
	state.startCountdown();
	const StateForProcedure answer = state.stateForProcedure();
	EXPECT_STREQ(answer.mode, "standby");
	EXPECT_TRUE(answer.counting);
	EXPECT_EQ(answer.standbyScene, QStringLiteral("待機画面"));
}

TEST_F(ShowStateTest, TickBumpsOncePerDisplayedSecondWhileCounting)
{
	Preset preset = presetFor(1, 60000);
	preset.messages = QStringList{"only one"};
	state.applyPreset(preset);
	state.startCountdown();
	state.tick();
	clock.advance(16);
	state.tick();
	const uint64_t settled = state.revision();
	// 60 frames of 16 ms inside one displayed second: at most one bump.
	int bumps = 0;
	uint64_t last = settled;
	for (int frame = 0; frame < 62; ++frame) {
		clock.advance(16);
		state.tick();
		bumps += state.revision() != last ? 1 : 0;
		last = state.revision();
	}
	EXPECT_EQ(bumps, 1);
}

TEST_F(ShowStateTest, SteadyIdleStateDoesNotBump)
{
	Preset preset = presetFor(1);
	preset.messages = QStringList{"one"};
	state.applyPreset(preset);
	state.tick();
	const uint64_t settled = state.revision();
	for (int frame = 0; frame < 600; ++frame) {
		clock.advance(16);
		state.tick();
	}
	EXPECT_EQ(state.revision(), settled);
}

namespace {

// Ticks every frameMs for durationMs and returns the moments the revision moved.
std::vector<int64_t> bumpTimes(ShowState &state, FakeClock &clock, int64_t frameMs, int64_t durationMs)
{
	std::vector<int64_t> times;
	uint64_t last = state.revision();
	for (int64_t elapsed = 0; elapsed < durationMs; elapsed += frameMs) {
		clock.advance(frameMs);
		state.tick();
		if (state.revision() != last)
			times.push_back(clock.monotonicMs());
		last = state.revision();
	}
	return times;
}

// Bumps closer than the 33 ms animation floor; only a change of a whole value (second,
// message, zero, phase) may come that close to an animation bump.
int gapsBelowFloor(const std::vector<int64_t> &times)
{
	int gaps = 0;
	for (size_t i = 1; i < times.size(); ++i)
		gaps += times[i] - times[i - 1] < 33 ? 1 : 0;
	return gaps;
}

} // namespace

TEST_F(ShowStateTest, MessageChangesAnimateOnlyNearTheSixSecondBoundary)
{
	Preset preset = presetFor(1);
	preset.messages = QStringList{"one", "two"};
	state.applyPreset(preset);
	// Move to 1 s into a message period, well away from a change.
	clock.advance(6000 - clock.monotonicMs() % 6000 + 1000);
	state.tick();
	EXPECT_TRUE(bumpTimes(state, clock, 11, 4000).empty()) << "no animation mid-period";

	clock.advance(6000 - clock.monotonicMs() % 6000 - 400); // 400 ms before the change
	state.tick();
	const std::vector<int64_t> times = bumpTimes(state, clock, 11, 800);
	// About 30 a second under the 33 ms floor.
	EXPECT_GE(times.size(), 20u);
	EXPECT_LE(times.size(), 26u);
	EXPECT_LE(gapsBelowFloor(times), 2) << "one message change, on either side";
}

TEST_F(ShowStateTest, LastTenSecondsAnimateAtMostThirtyTimesASecond)
{
	startTwentySeconds(1);
	clock.advance(8000); // 12 s left: no animation yet
	state.tick();
	EXPECT_LE(bumpTimes(state, clock, 11, 1000).size(), 1u) << "only the whole second changes";

	clock.advance(1000); // 10 s left
	state.tick();
	const std::vector<int64_t> times = bumpTimes(state, clock, 11, 2000);
	EXPECT_GE(times.size(), 55u);
	EXPECT_LE(times.size(), 62u);
	EXPECT_LE(gapsBelowFloor(times), 4) << "two whole seconds, on either side";
}

TEST_F(ShowStateTest, BounceInTheLastTenSecondsAnimatesToo)
{
	startTwentySeconds(2);
	clock.advance(11000); // 9 s left
	state.tick();
	EXPECT_GE(bumpTimes(state, clock, 11, 1000).size(), 25u);
}

TEST_F(ShowStateTest, EndTextPopsForSevenHundredMillisecondsAfterZero)
{
	startTwentySeconds(0);
	clock.advance(20000);
	state.tick(); // zero: a whole value changed
	const int64_t zero = clock.monotonicMs();
	const std::vector<int64_t> times = bumpTimes(state, clock, 11, 1500);
	EXPECT_GE(times.size(), 18u) << "about 30 redraws a second while the end text pops";
	EXPECT_TRUE(std::all_of(times.begin(), times.end(), [zero](int64_t t) { return t - zero < 711; }))
		<< "none once the pop is over";
}

TEST_F(ShowStateTest, AddedTimeMovesTheRunAndOutlivesAPresetChange)
{
	EXPECT_EQ(state.addTime(60000), -1) << "nothing counts down";
	state.startCountdown();
	clock.advance(100000);
	EXPECT_EQ(state.addTime(60000), 560000);
	state.applyPreset(presetFor(1)); // an edit while the countdown runs
	EXPECT_EQ(state.snapshot().remainingMs(), 560000);
	EXPECT_EQ(state.addTime(-600000), 1000) << "never below one second left";
	clock.advance(500);
	EXPECT_EQ(state.addTime(-60000), 500) << "less than a second left stays as it is";

	state.startCountdown();
	EXPECT_EQ(state.snapshot().remainingMs(), 600000) << "a new run starts without the added time";
}

TEST_F(ShowStateTest, AddedTimeMovesAnUntilTimeTargetForThisRunOnly)
{
	state.applyPreset(presetFor(0)); // toward 21:00, one minute away
	state.startCountdown();
	EXPECT_EQ(state.addTime(30000), 90000);
	state.tick(); // the wall-clock follow keeps the moved target
	EXPECT_EQ(state.snapshot().countdown.targetWallClock, utcAt(21, 0, 30));
	EXPECT_EQ(state.snapshot().remainingMs(), 90000);
	EXPECT_EQ(state.snapshot().preset.target_minutes, 1260);
}

TEST_F(ShowStateTest, AddedTimeMovesTheBreak)
{
	state.startBreakCountdown(); // 300000 by default
	EXPECT_EQ(state.addTime(-60000), 240000);
	EXPECT_EQ(state.snapshot().breakRemainingMs(), 240000);
}

TEST_F(ShowStateTest, AResumedCountdownRunsToTheEndItHad)
{
	state.resumeCountdown(clock.wallMs() + 42000);
	EXPECT_EQ(state.snapshot().remainingMs(), 42000);
	state.applyPreset(presetFor(1)); // the preset counts 10 minutes; the run keeps its end
	EXPECT_EQ(state.snapshot().remainingMs(), 42000);

	state.resetCountdown();
	state.resumeBreakCountdown(clock.wallMs() + 7000);
	EXPECT_EQ(state.phase(), PhaseBreak);
	EXPECT_EQ(state.snapshot().breakRemainingMs(), 7000);
}

TEST(FlowRecord, StartsEmptyAndReturnsWhatWasPublished)
{
	FlowStatus published;
	published.step = StepAfterZero;
	published.held = true;
	published.holdReason = QStringLiteral("mic check");
	publishFlow(published);
	const FlowStatus flow = readFlow();
	EXPECT_EQ(flow.step, StepAfterZero);
	EXPECT_TRUE(flow.held);
	EXPECT_EQ(flow.holdReason, QStringLiteral("mic check"));
}
