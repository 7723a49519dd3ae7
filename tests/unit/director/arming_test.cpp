// The unattended show: when an arming may be made and the times it comes to, and what the
// director does at the go-live, under a hold, with a stream that never starts, and after
// a restart.
#include "director_fixture.h"

#include "director/arming.h"
#include "settings/armed_show.h"
#include "settings/preset_store.h"

namespace {

constexpr int64_t minute = 60000;
constexpr int64_t noon = 1767268800000; // 2026-01-01 12:00 UTC (tests run in UTC)

Preset untilTime(int targetMinutes, int leadS = 300)
{
	Preset preset;
	preset.count_mode = 0;
	preset.target_minutes = targetMinutes;
	preset.go_live_lead_s = leadS;
	return preset;
}

} // namespace

TEST(ArmingPlan, TheShowTimeAndTheGoLiveFollowTheRules)
{
	Preset forLength = untilTime(0);
	forLength.count_mode = 1;
	const struct {
		const char *what;
		Preset preset;
		ArmRequest request;
		int64_t now;
		bool showRunning;
		bool armed;
		const char *refusal;
		int64_t showAt;
		int64_t goLiveAt;
	} cases[] = {
		{"the until-time today",
		 untilTime(20 * 60),
		 {},
		 noon,
		 false,
		 false,
		 "",
		 noon + 480 * minute,
		 noon + 475 * minute},
		{"the until-time passed: tomorrow's",
		 untilTime(11 * 60),
		 {},
		 noon,
		 false,
		 false,
		 "",
		 noon + 23 * 60 * minute,
		 noon + (23 * 60 - 5) * minute},
		{"midnight, a minute away",
		 untilTime(0),
		 {},
		 noon + 719 * minute,
		 false,
		 false,
		 "",
		 noon + 720 * minute,
		 noon + 715 * minute},
		{"the request's time and lead",
		 forLength,
		 {noon + 10 * minute, 60000},
		 noon,
		 false,
		 false,
		 "",
		 noon + 10 * minute,
		 noon + 9 * minute},
		{"a go-live already passed",
		 untilTime(0, 3600),
		 {noon + 10 * minute, {}},
		 noon,
		 false,
		 false,
		 "",
		 noon + 10 * minute,
		 noon - 50 * minute},
		{"exactly seven days ahead",
		 untilTime(0),
		 {noon + 7 * 1440 * minute, {}},
		 noon,
		 false,
		 false,
		 "",
		 noon + 7 * 1440 * minute,
		 noon + (7 * 1440 - 5) * minute},
		{"for-length without a time", forLength, {}, noon, false, false, "needs 'at_ms'", -1, -1},
		{"a time now", untilTime(0), {noon, {}}, noon, false, false, "has passed", -1, -1},
		{"more than seven days",
		 untilTime(0),
		 {noon + 7 * 1440 * minute + 1, {}},
		 noon,
		 false,
		 false,
		 "more than 7 days",
		 -1,
		 -1},
		{"a show runs", untilTime(0), {}, noon, true, false, "A show is running", -1, -1},
		{"armed already", untilTime(0), {}, noon, false, true, "Already armed", -1, -1},
	};
	for (const auto &arm : cases) {
		const ArmPlan plan = planArming(arm.preset, arm.request, arm.now, arm.showRunning, arm.armed);
		EXPECT_TRUE(plan.refusal.contains(QString::fromUtf8(arm.refusal))) << arm.what;
		EXPECT_EQ(plan.refusal.isEmpty(), *arm.refusal == 0) << arm.what;
		EXPECT_EQ(plan.showAtWallMs, arm.showAt) << arm.what;
		EXPECT_EQ(plan.goLiveAtWallMs, arm.goLiveAt) << arm.what;
	}
	EXPECT_EQ(logClockTime(noon + 475 * minute), QByteArray("2026-01-01 19:55:00"));
	EXPECT_EQ(shortClockTime(noon + 475 * minute, noon), QStringLiteral("19:55"));
	EXPECT_EQ(shortClockTime(noon + 1440 * minute, noon), QStringLiteral("01-02 12:00"));
}

namespace {

class ArmingTest : public DirectorTest {
protected:
	ArmingTest()
	{
		Preset preset = showPreset();
		preset.go_live_lead_s = 6;
		usePreset(preset);
	}
	// Armed for a show 12 s from now, going live 6 s from now.
	void armAhead()
	{
		const ArmPlan plan = director->arm({clock.wallMs() + 12000, {}});
		ASSERT_TRUE(plan.refusal.isEmpty()) << qPrintable(plan.refusal);
	}
};

} // namespace

TEST_F(ArmingTest, AtTheGoLiveTheStreamAndTheStandbyStartAndZeroIsTheShowTime)
{
	armAhead();
	EXPECT_TRUE(director->flowStatus().armed);
	EXPECT_TRUE(log.contains("[curtainup] armed: live at 2026-01-01 12:00:06, show at 2026-01-01 12:00:12"));
	EXPECT_TRUE(storedArmedShow().active) << "kept for a restart";
	run(5950);
	EXPECT_EQ(host->streamStarts, 0);
	run(50);
	EXPECT_EQ(host->streamStarts, 1);
	EXPECT_EQ(host->recordingStarts, 0);
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_FALSE(director->flowStatus().armed);
	EXPECT_FALSE(storedArmedShow().active);
	EXPECT_TRUE(log.contains("[curtainup] going live (show at 2026-01-01 12:00:12)"));
	EXPECT_EQ(showState().snapshot().remainingMs(), 6000);
	EXPECT_EQ(presetAt(0).count_mode, showPreset().count_mode) << "the preset stays as it is";
}

TEST_F(ArmingTest, AHoldHoldsTheGoLive)
{
	armAhead();
	director->hold(true, QStringLiteral("desk"), QString());
	run(8000);
	EXPECT_EQ(host->streamStarts, 0) << "nothing goes live while held";
	director->hold(false, QStringLiteral("desk"), QString());
	EXPECT_EQ(host->streamStarts, 1) << "resumed before the show time: live at once";
	EXPECT_EQ(phase(), PhaseStandby);

	director->cancel();
	armAhead();
	director->hold(true, QStringLiteral("desk"), QString());
	run(13000);
	director->hold(false, QStringLiteral("desk"), QString());
	EXPECT_EQ(host->streamStarts, 1) << "resumed after the show time: nothing goes live";
	EXPECT_FALSE(director->flowStatus().armed);
	EXPECT_FALSE(director->flowStatus().problem.isEmpty());
}

TEST_F(ArmingTest, AStreamThatDoesNotStartIsTriedThreeTimesMoreWhileTheStandbyRuns)
{
	host->streamConnects = false;
	armAhead();
	run(6000 + 14950);
	EXPECT_EQ(host->streamStarts, 1);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	run(50);
	EXPECT_EQ(host->streamStarts, 2);
	EXPECT_FALSE(director->flowStatus().problem.isEmpty());
	run(60000);
	EXPECT_EQ(host->streamStarts, 4) << "three tries more, then it gives up";
	EXPECT_FALSE(director->flowStatus().problem.isEmpty());
	EXPECT_TRUE(sawPhase("standby"));
	host->streaming = true; // the operator started it by hand
	director->onStreamingStarted();
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
}

TEST_F(ArmingTest, TheRecordingGoesWithTheStreamWhenThePresetSaysSo)
{
	Preset preset = currentPreset();
	preset.go_live_record = true;
	preset.stop_stream = true;
	preset.stop_after = 1;
	usePreset(preset);
	armAhead();
	run(6000);
	EXPECT_EQ(host->recordingStarts, 1);
	director->startEnding();
	run(1000);
	EXPECT_EQ(host->streamStops, 1);
	EXPECT_EQ(host->recordingStops, 1);
}

TEST_F(ArmingTest, AStreamStartedByAnyoneStartsTheStandbyWhenThePresetSaysSo)
{
	director->onStreamingStarted();
	EXPECT_EQ(phase(), PhaseIdle) << "only when the preset asks for it";
	Preset preset = currentPreset();
	preset.start_on_stream = true;
	usePreset(preset);
	armAhead();
	director->onStreamingStarted();
	EXPECT_EQ(phase(), PhaseIdle) << "not while armed";
	director->disarm();
	EXPECT_TRUE(log.contains("[curtainup] disarmed"));
	director->onStreamingStarted();
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_TRUE(log.contains("[curtainup] standby started on stream start"));
}

TEST_F(ArmingTest, ARestartFindsTheArmingBeforeAtOrAfterItsTimes)
{
	const int64_t now = clock.wallMs();
	const struct {
		const char *what;
		int64_t goLiveAt;
		int64_t showAt;
		int64_t writtenAt;
		bool armed;
		int streamStarts;
		bool problem;
	} cases[] = {
		{"before the go-live", now + 6000, now + 12000, now - 1000, true, 0, false},
		{"between go-live and show", now - 1000, now + 5000, now - 2000, false, 1, false},
		{"after the show time", now - 12000, now - 6000, now - 13000, false, 0, true},
		{"written in the future", now + 6000, now + 12000, now + 60000, false, 0, false},
	};
	for (const auto &found : cases) {
		restartDirector();
		ArmedShow record;
		record.active = true;
		record.goLiveAtWallMs = found.goLiveAt;
		record.showAtWallMs = found.showAt;
		record.writtenAtWallMs = found.writtenAt;
		director->restoreArming(record);
		EXPECT_EQ(director->flowStatus().armed, found.armed) << found.what;
		EXPECT_EQ(host->streamStarts, found.streamStarts) << found.what;
		EXPECT_EQ(!director->flowStatus().problem.isEmpty(), found.problem) << found.what;
		director->cancel();
	}
}
