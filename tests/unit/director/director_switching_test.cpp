// The one queue of scene switches: the requested transition and length for one switch,
// the operator's put back after it, the completion rule and the give-up.
#include "director_fixture.h"

namespace {

const QString standby = QStringLiteral("Standby");
const QString fade = QStringLiteral("Fade");
const QString slide = QStringLiteral("Slide");
const QString op = QStringLiteral("OP");

} // namespace

class DirectorSwitchTest : public DirectorTest {
protected:
	// Standby with the given transition for its switch.
	void standbyWith(const TransitionChoice &transition)
	{
		Preset preset = showPreset();
		preset.to_standby = transition;
		usePreset(preset);
		director->startStandby();
	}
	bool finished(const QString &scene) const
	{
		return log.contains("[curtainup] now on scene '" + scene.toStdString() + "'");
	}
};

TEST_F(DirectorSwitchTest, ASwitchToTheSceneAlreadyShownOnlyRunsItsCallbacks)
{
	Preset preset = showPreset();
	preset.standby_scene.clear();
	usePreset(preset);
	host->program = QStringLiteral("OP");
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepAfterZero; }));
	run(3000);
	EXPECT_TRUE(log.contains("[curtainup] already on scene 'OP'"));
	EXPECT_TRUE(host->sceneSets.empty());
	EXPECT_TRUE(sawPhase("opening"));
	EXPECT_TRUE(log.contains("[curtainup] OP: waiting for 'OpClip' to end"));
	EXPECT_EQ(host->transition, fade);
	EXPECT_EQ(host->transitionChanges, 0);
	EXPECT_EQ(host->durationChanges, 0);
}

TEST_F(DirectorSwitchTest, TheRequestedTransitionIsUsedForOneSwitchAndTheOperatorsPutBack)
{
	standbyWith({slide, 800});
	ASSERT_EQ(host->sceneSets.size(), 1u);
	EXPECT_EQ(host->sceneSets[0].transition, slide);
	EXPECT_EQ(host->sceneSets[0].durationMs, 800);
	EXPECT_TRUE(log.contains("[curtainup] switching to 'Standby' with 'Slide' (800 ms)"));

	run(800);
	EXPECT_FALSE(finished(standby)); // the transition is still running
	EXPECT_EQ(host->transition, slide);
	ASSERT_TRUE(runUntil([this] { return finished(standby); }, 1000));
	EXPECT_EQ(host->transition, fade);
	EXPECT_EQ(host->durationMs, 300);
	EXPECT_TRUE(log.contains("[curtainup] transition back to 'Fade' (300 ms)"));
}

TEST_F(DirectorSwitchTest, OnlyALengthChangeIsPutBackWhenTheTransitionIsAlreadyCurrent)
{
	standbyWith({fade, 1000});
	EXPECT_EQ(host->sceneSets[0].durationMs, 1000);
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_EQ(host->transitionChanges, 0);
	EXPECT_EQ(host->durationMs, 300);
	EXPECT_TRUE(log.contains("[curtainup] transition back to 'Fade' (300 ms)"));
}

TEST_F(DirectorSwitchTest, ALengthOfZeroKeepsTheOperatorsLength)
{
	standbyWith({slide, 0});
	EXPECT_EQ(host->sceneSets[0].transition, slide);
	EXPECT_EQ(host->sceneSets[0].durationMs, 300);
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_EQ(host->durationChanges, 0);
	EXPECT_EQ(host->transition, fade);
}

TEST_F(DirectorSwitchTest, NoTransitionChangeLeavesNothingToPutBack)
{
	standbyWith({QString(), 0});
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_FALSE(log.contains("transition back"));
	EXPECT_EQ(host->transitionChanges + host->durationChanges, 0);
}

TEST_F(DirectorSwitchTest, AMissingTransitionIsReportedAndTheCurrentOneIsUsed)
{
	standbyWith({QStringLiteral("Swirl"), 0});
	EXPECT_EQ(director->flowStatus().problem,
		  QStringLiteral("Transition 'Swirl' not found; using the current one."));
	ASSERT_EQ(host->sceneSets.size(), 1u);
	EXPECT_EQ(host->sceneSets[0].transition, fade);
	EXPECT_EQ(host->program, standby);
}

TEST_F(DirectorSwitchTest, AMissingOrNonSceneTargetIsReportedAndItsCallbacksStillRun)
{
	Preset preset = showPreset();
	preset.main_scene = QStringLiteral("Music"); // a source, but not a scene
	usePreset(preset);
	runToOp();
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(tickMs);
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("Scene 'Music' not found."));
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(host->phases.back(), "opening_done");
	EXPECT_EQ(host->program, QStringLiteral("OP"));
}

TEST_F(DirectorSwitchTest, ACutIsCompleteAfterAHundredMillisecondsAndThreeIdleTicks)
{
	host->durationMs = 0;
	director->startStandby();
	run(150);
	EXPECT_FALSE(finished(standby));
	run(tickMs);
	EXPECT_TRUE(finished(standby));
}

TEST_F(DirectorSwitchTest, TwoSwitchesInOneTickRunOneAfterTheOther)
{
	host->program = QStringLiteral("Main");
	director->startStandby();
	director->toggleBreak();
	ASSERT_EQ(host->sceneSets.size(), 1u);
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_EQ(host->sceneSets.size(), 1u);
	run(tickMs);
	ASSERT_EQ(host->sceneSets.size(), 2u);
	EXPECT_EQ(host->sceneSets[1].scene, QStringLiteral("Break"));
	EXPECT_GE(host->sceneSets[1].at - host->sceneSets[0].at, 300 + 150);
}

TEST_F(DirectorSwitchTest, AQueuedSwitchWaitsForTheOperatorsOwnTransition)
{
	host->transitionEndsAt = clock.monotonicMs() + 1000;
	director->startStandby();
	EXPECT_TRUE(host->sceneSets.empty());
	run(950);
	EXPECT_TRUE(host->sceneSets.empty());
	run(tickMs);
	EXPECT_EQ(host->program, standby);
}

TEST_F(DirectorSwitchTest, CancelDropsQueuedSwitchesButTheOneInFlightCompletesAndPutsBack)
{
	standbyWith({slide, 800});
	director->toggleBreak(); // queued behind the switch in flight
	director->cancel();
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_EQ(host->transition, fade);
	EXPECT_EQ(host->durationMs, 300);
	run(2000);
	EXPECT_EQ(host->sceneSets.size(), 1u);
}

TEST_F(DirectorSwitchTest, ATransitionThatNeverEndsIsGivenUpAfterThirtySeconds)
{
	standbyWith({slide, 800});
	host->stuckTransition = true;
	run(30000);
	EXPECT_FALSE(finished(standby));
	run(tickMs);
	EXPECT_TRUE(finished(standby));
	EXPECT_EQ(host->transition, fade);
}

TEST_F(DirectorSwitchTest, ASwitchWaitingBehindATransitionThatNeverEndsIsGivenUpAndTheFlowGoesOn)
{
	runToOp();
	host->stuckTransition = true; // a studio-mode T-bar left half-way
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(30000);
	EXPECT_EQ(step(), StepGoingMain);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	run(2 * tickMs);
	EXPECT_EQ(director->flowStatus().problem,
		  QStringLiteral("Gave up switching to 'Main': the running transition did not end."));
	EXPECT_EQ(host->program, op); // not forced through the operator's transition
	EXPECT_EQ(step(), StepNone);  // its callbacks ran
	EXPECT_EQ(host->phases.back(), "opening_done");
}

TEST_F(DirectorSwitchTest, ASwitchKeptForTheResumeIsNotGivenUpWhileHeld)
{
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepAfterZero; }));
	host->stuckTransition = true;
	run(3000);
	ASSERT_EQ(step(), StepOp); // the switch to OP waits behind the transition
	director->hold(true, QStringLiteral("stage"), QString());
	run(60000);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	EXPECT_TRUE(director->flowStatus().waitingForResume);

	director->hold(false, QStringLiteral("stage"), QString());
	run(30000); // the wait for the transition counts from the resume
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	run(2 * tickMs);
	EXPECT_EQ(director->flowStatus().problem,
		  QStringLiteral("Gave up switching to 'OP': the running transition did not end."));
}

TEST_F(DirectorSwitchTest, AsTheHostIsAskedToCloseASwitchInFlightPutsTheOperatorsTransitionBack)
{
	standbyWith({slide, 800});
	ASSERT_TRUE(host->closeRequested);
	// The running transition is ended first; the host asks again a moment later.
	EXPECT_FALSE(host->closeRequested());
	EXPECT_EQ(host->finishedTransitions, 1);
	EXPECT_FALSE(host->transitionActive());
	EXPECT_TRUE(host->closeRequested()); // the host saves its transition right after this
	EXPECT_EQ(host->finishedTransitions, 1);
	EXPECT_EQ(host->transition, fade);
	EXPECT_EQ(host->durationMs, 300);
	EXPECT_TRUE(log.contains("[curtainup] transition back to 'Fade' (300 ms)"));
	// A host that saved before it asked to close saves again with the operator's transition.
	EXPECT_EQ(host->savedTransitions, (std::vector<std::pair<QString, int>>{{fade, 300}}));

	// The host may stay open after all: the switch completes without a second put-back.
	const int changes = host->transitionChanges + host->durationChanges;
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_EQ(host->transitionChanges + host->durationChanges, changes);
	EXPECT_EQ(log.count("transition back"), 1);
	EXPECT_TRUE(host->closeRequested()); // nothing in flight: the close goes on at once
	EXPECT_EQ(host->finishedTransitions, 1);
	EXPECT_EQ(host->savedTransitions.size(), 1u);
}

TEST_F(DirectorSwitchTest, ARenamedSourceIsFollowedInQueuedSwitches)
{
	host->transitionEndsAt = clock.monotonicMs() + 1000;
	standbyWith({slide, 800});
	director->renameSource(standby, QStringLiteral("Waiting"));
	director->renameSource(slide, QStringLiteral("Slide 2"));
	host->addScene(QStringLiteral("Waiting"));
	host->transitions << QStringLiteral("Slide 2");
	run(1000);
	ASSERT_EQ(host->sceneSets.size(), 1u);
	EXPECT_EQ(host->sceneSets[0].scene, QStringLiteral("Waiting"));
	EXPECT_EQ(host->sceneSets[0].transition, QStringLiteral("Slide 2"));
}

TEST_F(DirectorSwitchTest, ARenamedOperatorTransitionIsStillPutBack)
{
	standbyWith({slide, 800});
	host->transitions = QStringList{QStringLiteral("Fade 2"), slide};
	director->renameSource(fade, QStringLiteral("Fade 2"));
	ASSERT_TRUE(runUntil([this] { return finished(standby); }));
	EXPECT_EQ(host->transition, QStringLiteral("Fade 2"));
}
