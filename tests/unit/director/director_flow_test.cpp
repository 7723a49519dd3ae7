// Whole shows on the fake host: every move of phase and step, with the switches, the
// sibling's phases and the log lines that go with them.
#include "director_fixture.h"

#include "show/show_report.h"

#include "settings/preset_store.h"

#include <QTimer>

namespace {

const QString standby = QStringLiteral("Standby");
const QString op = QStringLiteral("OP");
const QString mainScene = QStringLiteral("Main");
const QString breakScene = QStringLiteral("Break");

using Phases = std::vector<std::string>;

} // namespace

TEST_F(DirectorTest, ConstructionPublishesAnIdleFlowAndStartsTheFiftyMillisecondTimer)
{
	const FlowStatus flow = readFlow();
	EXPECT_EQ(flow.step, StepNone);
	EXPECT_FALSE(flow.held);
	const QTimer *timer = director->findChild<QTimer *>();
	ASSERT_NE(timer, nullptr);
	EXPECT_TRUE(timer->isActive());
	EXPECT_EQ(timer->interval(), 50);
}

TEST_F(DirectorTest, StandbyStartsTheCountdownAndSwitchesToTheStandbyScene)
{
	director->startStandby();
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_EQ(step(), StepNone);
	EXPECT_TRUE(showState().isCounting());
	EXPECT_EQ(host->phases, Phases{"standby"});
	EXPECT_TRUE(log.contains("[curtainup] standby started (preset 'Show')"));
	ASSERT_EQ(host->sceneSets.size(), 1u);
	EXPECT_EQ(host->program, standby);
}

TEST_F(DirectorTest, StandbyWithoutAStandbySceneCountsDownOnTheCurrentScene)
{
	Preset preset = showPreset();
	preset.standby_scene.clear();
	usePreset(preset);
	director->startStandby();
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_TRUE(host->sceneSets.empty());
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
}

TEST_F(DirectorTest, ZeroFreezesTheCountdownAndSwitchesToOpAfterTheWait)
{
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepAfterZero; }));
	const int64_t zeroSeen = clock.monotonicMs();
	EXPECT_TRUE(showState().snapshot().countdown.finished);
	EXPECT_TRUE(log.contains("[curtainup] countdown reached zero; switching in 3 s"));
	EXPECT_EQ(director->flowStatus().afterZeroDeadline, zeroSeen + 3000);

	ASSERT_TRUE(runUntil([this] { return host->program == op; }));
	EXPECT_LE(clock.monotonicMs() - zeroSeen, 3000 + tickMs);
	EXPECT_GE(clock.monotonicMs() - zeroSeen, 3000);
	EXPECT_EQ(phase(), PhaseOp);
	EXPECT_EQ(step(), StepOp);
	EXPECT_EQ(readFlow().step, StepOp);
	EXPECT_EQ(host->phases, (Phases{"standby", "opening"}));
	EXPECT_TRUE(log.contains("[curtainup] OP: waiting for 'OpClip' to end"));
}

TEST_F(DirectorTest, SwitchAfterZeroSwitchesToOpOnTheTickThatSeesZero)
{
	Preset preset = showPreset();
	preset.switch_after = 0;
	usePreset(preset);
	director->startStandby();
	const int64_t zero = showState().snapshot().countdown.endsAt;
	run(10000 - tickMs);
	EXPECT_EQ(host->program, standby);
	run(tickMs);
	EXPECT_EQ(clock.monotonicMs(), zero);
	EXPECT_EQ(host->program, op);
	EXPECT_TRUE(log.contains("[curtainup] countdown reached zero; switching in 0 s"));
	EXPECT_FLOAT_EQ(host->source(QStringLiteral("Music"))->volumeValue, 0.0f);
}

TEST_F(DirectorTest, OpMediaEndLeadsToTheMainSceneAndOpeningDone)
{
	runToOp();
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(tickMs);
	EXPECT_TRUE(log.contains("[curtainup] OP: 'OpClip' ended"));
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(step(), StepGoingMain);
	EXPECT_EQ(host->program, mainScene);

	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_FALSE(showState().snapshot().countdown.finished);
	EXPECT_EQ(host->phases, (Phases{"standby", "opening", "opening", "opening_done"}));
	EXPECT_TRUE(log.contains("[curtainup] now on scene 'Main'"));
}

TEST_F(DirectorTest, WithoutAnOpSceneZeroGoesStraightToMain)
{
	Preset preset = showPreset();
	preset.op_scene.clear();
	usePreset(preset);
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepGoingMain; }));
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(host->program, mainScene);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
}

TEST_F(DirectorTest, AMissingOpSceneIsReportedAndTheFlowGoesToMain)
{
	Preset preset = showPreset();
	preset.op_scene = QStringLiteral("Gone");
	usePreset(preset);
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepGoingMain; }));
	EXPECT_EQ(host->program, mainScene);
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("Scene 'Gone' not found."));
	EXPECT_TRUE(log.contains("[curtainup] Scene 'Gone' not found."));
}

TEST_F(DirectorTest, AProblemShowsForTenSeconds)
{
	Preset preset = showPreset();
	preset.break_scene.clear();
	usePreset(preset);
	director->toggleBreak();
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("No break scene is set."));
	EXPECT_EQ(phase(), PhaseBreak); // the phase changed without a switch
	EXPECT_TRUE(host->sceneSets.empty());
	const std::vector<LogCapture::Line> lines = log.lines();
	EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const LogCapture::Line &line) {
		return line.level == 200 && line.text == "[curtainup] No break scene is set.";
	}));
	run(9950);
	EXPECT_FALSE(director->flowStatus().problem.isEmpty());
	run(tickMs);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
}

TEST_F(DirectorTest, OpSceneWithoutMediaWaitsForTheOperatorsMain)
{
	host->source(op)->sceneItems.clear();
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return host->program == op; }));
	EXPECT_EQ(step(), StepOpNoMedia);
	EXPECT_TRUE(log.contains("[curtainup] no OP media found; waiting for the main button"));
	run(5000);
	EXPECT_EQ(step(), StepOpNoMedia);

	director->skipToMain();
	EXPECT_TRUE(log.contains("[curtainup] skipped to the main scene"));
	ASSERT_TRUE(runUntil([this] { return host->program == mainScene; }));
	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_EQ(host->phases.back(), "opening_done");
}

TEST_F(DirectorTest, MainDuringTheCountdownSkipsToMainAndFadesTheMusicOverOneSecond)
{
	director->startStandby();
	run(2000);
	director->skipToMain();
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(step(), StepGoingMain);
	EXPECT_TRUE(showState().snapshot().countdown.finished);
	EXPECT_TRUE(log.contains("[curtainup] fading out 'Music' over 1000 ms"));
	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_EQ(host->program, mainScene);
	run(1000);
	EXPECT_FLOAT_EQ(host->source(QStringLiteral("Music"))->volumeValue, 0.0f);
}

TEST_F(DirectorTest, MainDoesNothingInBreakEndingOrIdle)
{
	director->skipToMain();
	EXPECT_TRUE(host->sceneSets.empty());

	director->toggleBreak();
	run(500);
	const size_t switches = host->sceneSets.size();
	director->skipToMain();
	run(500);
	EXPECT_EQ(phase(), PhaseBreak);
	EXPECT_EQ(host->sceneSets.size(), switches);

	director->startEnding();
	run(500);
	director->skipToMain();
	run(500);
	EXPECT_EQ(phase(), PhaseEnding);
	EXPECT_FALSE(log.contains("skipped to the main scene"));
}

TEST_F(DirectorTest, BreakReturnsToTheInterruptedSceneWhenItsCountdownEnds)
{
	host->program = mainScene;
	director->toggleBreak();
	EXPECT_EQ(phase(), PhaseBreak);
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(host->phases, Phases{"break"});
	EXPECT_TRUE(log.contains("[curtainup] break started; back to 'Main' afterwards"));
	EXPECT_EQ(host->program, breakScene);

	ASSERT_TRUE(runUntil([this] { return step() == StepBackFromBreak; }));
	EXPECT_TRUE(log.contains("[curtainup] break over; back to 'Main'"));
	EXPECT_EQ(host->program, mainScene);
	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_EQ(phase(), PhaseIdle);
}

TEST_F(DirectorTest, BreakPressedInTheBreakGoesBackAtOnce)
{
	host->program = mainScene;
	director->toggleBreak();
	run(1000);
	director->toggleBreak();
	EXPECT_EQ(step(), StepBackFromBreak);
	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_EQ(host->program, mainScene);
	EXPECT_EQ(phase(), PhaseIdle);
}

TEST_F(DirectorTest, BreakStartedOnTheBreakSceneKeepsTheEarlierWayBack)
{
	host->program = mainScene;
	director->toggleBreak();
	run(1000);
	director->cancel();
	ASSERT_EQ(host->program, breakScene);
	director->toggleBreak();
	EXPECT_TRUE(log.contains("[curtainup] break started; back to 'Main' afterwards"));
	EXPECT_EQ(log.count("back to 'Main' afterwards"), 2);
}

TEST_F(DirectorTest, ChangingTheSceneCollectionCancelsAndForgetsTheWayBack)
{
	host->program = mainScene;
	director->toggleBreak();
	run(1000);
	director->onCollectionChanging();
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_TRUE(log.contains("[curtainup] stopped"));

	director->toggleBreak(); // on the break scene: nothing to go back to
	director->toggleBreak();
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_TRUE(log.contains("[curtainup] break over; back to ''"));
}

TEST_F(DirectorTest, EndingWhileStreamingStopsTheStreamOnItsTimer)
{
	host->streaming = true;
	director->startEnding();
	EXPECT_EQ(phase(), PhaseEnding);
	EXPECT_EQ(step(), StepEnding);
	EXPECT_EQ(host->phases, Phases{"ending"});
	EXPECT_TRUE(log.contains("[curtainup] ending started; the stream stops on the timer"));
	const int64_t started = clock.monotonicMs();
	EXPECT_EQ(director->flowStatus().stopStreamAt, started + 30000);

	run(29950);
	EXPECT_EQ(host->streamStops, 0);
	run(tickMs);
	EXPECT_EQ(host->streamStops, 1);
	EXPECT_TRUE(log.contains("[curtainup] stopping the stream (ending timer)"));
	EXPECT_EQ(director->flowStatus().stopStreamAt, 0);

	director->onStreamingStopped();
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(step(), StepNone);
}

TEST_F(DirectorTest, EndingWithoutAStreamSetsNoTimer)
{
	director->startEnding();
	EXPECT_EQ(director->flowStatus().stopStreamAt, 0);
	EXPECT_TRUE(log.contains("[curtainup] ending started"));
	EXPECT_FALSE(log.contains("the stream stops on the timer"));
	run(31000);
	EXPECT_EQ(host->streamStops, 0);
}

TEST_F(DirectorTest, StoppingTheStreamByHandClearsTheTimerAndEndsTheEnding)
{
	host->streaming = true;
	director->startEnding();
	run(1000);
	host->streaming = false;
	director->onStreamingStopped();
	EXPECT_EQ(director->flowStatus().stopStreamAt, 0);
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(step(), StepNone);
	run(31000);
	EXPECT_EQ(host->streamStops, 0);
}

TEST_F(DirectorTest, EndingWithoutAnEndingSceneReportsItAndStaysInTheEnding)
{
	Preset preset = showPreset();
	preset.ending_scene.clear();
	usePreset(preset);
	director->startEnding();
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("No ending scene is set."));
	EXPECT_EQ(phase(), PhaseEnding);
	EXPECT_TRUE(host->sceneSets.empty());
}

TEST_F(DirectorTest, CancelReturnsToIdleFromAnywhere)
{
	runToOp();
	director->cancel();
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(host->phases.back(), "idle");
	EXPECT_TRUE(log.contains("[curtainup] stopped"));
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(1000);
	EXPECT_EQ(host->program, op); // the watch is gone with the cancel
}

TEST_F(DirectorTest, CancelDuringTheSwitchToMainLeavesTheStepAlone)
{
	runToOp();
	host->durationMs = 1000;
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(tickMs);
	ASSERT_EQ(host->program, mainScene);
	ASSERT_EQ(step(), StepGoingMain);
	director->cancel();
	run(2000);
	EXPECT_TRUE(log.contains("[curtainup] now on scene 'Main'"));
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(host->phases.back(), "idle"); // no "opening_done" from the old switch
}

TEST_F(DirectorTest, ABreakOnTheWayToMainGoesBackToMain)
{
	runToOp();
	host->stuckTransition = true; // the switch to Main waits behind a running transition
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(tickMs);
	ASSERT_EQ(step(), StepGoingMain);
	ASSERT_EQ(host->program, op);
	const auto reportedPhase = [this] {
		return composeShowReport(showState().snapshot(), director->flowStatus(), QString()).phase;
	};
	EXPECT_EQ(reportedPhase(), PhaseMain) << "on its way to main, the show reads main";
	director->startBreak();
	run(100);
	director->endBreak();
	host->stuckTransition = false;
	run(2000);
	EXPECT_EQ(host->program, mainScene);
	EXPECT_EQ(reportedPhase(), PhaseMain);
}

TEST_F(DirectorTest, StandbyWhileAnOpSwitchWaitsDropsIt)
{
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepAfterZero; }));
	host->stuckTransition = true; // the operator's own transition holds the queue
	run(3000);
	ASSERT_EQ(step(), StepOp);
	ASSERT_TRUE(director->flowStatus().waitingForResume);
	director->startStandby();
	host->stuckTransition = false;
	run(1000);
	EXPECT_EQ(host->program, standby);
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_FALSE(sawPhase("opening"));
}

TEST_F(DirectorTest, WithoutAMainSceneTheOpEndsInStepNoneWithBothPhasesAtOnce)
{
	Preset preset = showPreset();
	preset.main_scene.clear();
	usePreset(preset);
	runToOp();
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(tickMs);
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(phase(), PhaseIdle);
	EXPECT_EQ(host->phases, (Phases{"standby", "opening", "opening", "opening_done"}));
}

TEST_F(DirectorTest, ShutdownDropsPendingWorkAndStopsTheTimer)
{
	runToOp();
	director->shutdown();
	EXPECT_FALSE(director->findChild<QTimer *>()->isActive());
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(1000);
	EXPECT_EQ(host->program, op);
	EXPECT_TRUE(host->source(QStringLiteral("OpClip"))->endedFlags.empty());
	EXPECT_EQ(liveWeakSources(), 0);
}

TEST_F(DirectorTest, ARenamedSceneIsFollowedByTheWayBackAndTheQueue)
{
	host->program = mainScene;
	director->toggleBreak();
	director->renameSource(mainScene, QStringLiteral("Main 2"));
	host->addScene(QStringLiteral("Main 2"));
	ASSERT_TRUE(runUntil([this] { return step() == StepBackFromBreak; }));
	EXPECT_TRUE(log.contains("[curtainup] break over; back to 'Main 2'"));
	EXPECT_EQ(host->program, QStringLiteral("Main 2"));
}

TEST_F(DirectorTest, FlowStatusTellsWhetherThePresetHasAnOpScene)
{
	EXPECT_TRUE(director->flowStatus().hasOpScene);
	Preset preset = showPreset();
	preset.op_scene.clear();
	usePreset(preset);
	EXPECT_FALSE(director->flowStatus().hasOpScene);
}

TEST(DirectorInstance, CreateKeepsTheExistingDirectorAndDestroyClearsIt)
{
	EXPECT_EQ(directorInstance(), nullptr);
	auto firstHost = std::make_unique<FakeHost>();
	FakeHost *first = firstHost.get();
	Director *created = createDirector(std::move(firstHost));
	EXPECT_EQ(directorInstance(), created);
	EXPECT_EQ(createDirector(std::make_unique<FakeHost>()), created);
	EXPECT_EQ(createDirector(), created);
	created->cancel();
	EXPECT_EQ(first->phases, std::vector<std::string>{"idle"});
	destroyDirector();
	EXPECT_EQ(directorInstance(), nullptr);
}
