// Holding the flow at each place it can be held, resuming it only for a person, and the
// generation that keeps old kept steps and callbacks from acting.
#include "director_fixture.h"

namespace {

const QString op = QStringLiteral("OP");
const QString mainScene = QStringLiteral("Main");

} // namespace

class DirectorHoldTest : public DirectorTest {
protected:
	void holdFrom(const char *from, const char *reason = "")
	{
		director->hold(true, QString::fromUtf8(from), QString::fromUtf8(reason));
	}
	void resumeFrom(const char *from) { director->hold(false, QString::fromUtf8(from), QString()); }
	QString location() const { return director->holdLocation(); }
	int lineCount(const std::string &text) const { return log.count(text); }
	// Standby with the flow running until the countdown reached zero.
	void runToZero()
	{
		director->startStandby();
		ASSERT_TRUE(runUntil([this] { return step() == StepAfterZero; }));
	}
	// The ending timer stops the stream exactly ms from now, not a tick sooner.
	void expectStreamStopIn(int64_t ms)
	{
		run(ms - tickMs);
		EXPECT_EQ(host->streamStops, 0);
		run(tickMs);
		EXPECT_EQ(host->streamStops, 1);
	}
};

TEST_F(DirectorHoldTest, HoldPublishesTheFlowAndSetsTheSharedHeldFlag)
{
	holdFrom("stage", "mic check");
	FlowStatus status = director->flowStatus();
	EXPECT_TRUE(status.held);
	EXPECT_EQ(status.holdReason, QStringLiteral("mic check"));
	EXPECT_TRUE(showState().snapshot().held);
	FlowStatus flow = readFlow();
	EXPECT_TRUE(flow.held);
	EXPECT_EQ(flow.holdReason, QStringLiteral("mic check"));
	EXPECT_TRUE(log.contains("[curtainup] 待った: from='stage' reason='mic check'"));

	holdFrom("stage", "still checking");
	EXPECT_EQ(readFlow().holdReason, QStringLiteral("still checking"));
	EXPECT_EQ(lineCount("[curtainup] 待った:"), 2);

	resumeFrom("stage");
	flow = readFlow();
	EXPECT_FALSE(flow.held);
	EXPECT_TRUE(flow.holdReason.isEmpty());
	EXPECT_FALSE(showState().snapshot().held);
	EXPECT_TRUE(log.contains("[curtainup] 再開: from='stage'"));
}

TEST_F(DirectorHoldTest, AResumeFromAnAutomaticSenderOrFromNobodyIsRefused)
{
	holdFrom("stage");
	for (const char *sender : {"auto", "autopilot", "  auto-cue", "", "   "}) {
		log.clear();
		resumeFrom(sender);
		EXPECT_TRUE(director->flowStatus().held) << sender;
		const std::vector<LogCapture::Line> lines = log.lines();
		ASSERT_EQ(lines.size(), 1u) << sender;
		EXPECT_EQ(lines[0].level, 200);
		EXPECT_EQ(lines[0].text,
			  "[curtainup] 再開を拒否: from='" + std::string(sender) + "' は人の操作ではありません");
	}
	resumeFrom("Autumn");
	EXPECT_FALSE(director->flowStatus().held);
	holdFrom("stage");
	resumeFrom("Auto");
	EXPECT_FALSE(director->flowStatus().held);
}

TEST_F(DirectorHoldTest, AResumeWhileNotHeldDoesNothingAndLogsNothing)
{
	resumeFrom("stage");
	EXPECT_TRUE(log.lines().empty());
	EXPECT_FALSE(readFlow().held);
}

TEST_F(DirectorHoldTest, LineBreaksInSenderAndReasonBecomeSpacesAndLongTextsAreCut)
{
	holdFrom("left\r\nright", "one\ntwo\rthree");
	EXPECT_TRUE(log.contains("[curtainup] 待った: from='left  right' reason='one two three'"));
	const std::string huge(1 << 20, 'x');
	director->hold(true, QStringLiteral("stage"), QString::fromStdString(huge));
	// The reason reaches the dock, config.json and every event: it is cut to 200 characters,
	// never inside a surrogate pair.
	EXPECT_EQ(director->flowStatus().holdReason, QString(200, QLatin1Char('x')));
	director->hold(true, QStringLiteral("stage"), QString(199, QLatin1Char('x')) + QStringLiteral("\U0001F600y"));
	EXPECT_EQ(director->flowStatus().holdReason, QString(199, QLatin1Char('x')));
	director->hold(true, QStringLiteral("stage"), QString::fromStdString(huge));
	for (const LogCapture::Line &line : log.lines()) {
		EXPECT_EQ(line.text.find_first_of("\r\n"), std::string::npos);
		EXPECT_LT(line.text.size(), 1000u);
	}
	EXPECT_TRUE(log.contains(std::string(200, 'x') + "…'"));
}

TEST_F(DirectorHoldTest, HeldAtZeroTheCountdownFreezesAndTheFullWaitStartsOnResume)
{
	director->startStandby();
	holdFrom("stage");
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Countdown"));
	ASSERT_TRUE(runUntil([] { return showState().snapshot().countdown.finished; }));
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(showState().snapshot().remainingMs(), 0);
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.AfterZero"));
	EXPECT_EQ(lineCount("[curtainup] 保留した一歩: At zero, before the OP (gen=1)"), 1);
	run(20000);
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(host->program, QStringLiteral("Standby"));
	EXPECT_EQ(lineCount("保留した一歩"), 1);

	resumeFrom("stage");
	EXPECT_TRUE(log.contains("[curtainup] 再開で進めた一歩: At zero, before the OP (gen=1)"));
	EXPECT_EQ(step(), StepAfterZero);
	const int64_t resumed = clock.monotonicMs();
	EXPECT_EQ(director->flowStatus().afterZeroDeadline, resumed + 3000);
	ASSERT_TRUE(runUntil([this] { return host->program == op; }));
	EXPECT_EQ(clock.monotonicMs(), resumed + 3000);
}

TEST_F(DirectorHoldTest, HeldInTheWaitTheWaitAndTheFadePauseAndGoOnFromWhereTheyWere)
{
	runToZero();
	const std::shared_ptr<FakeSource> music = host->source(QStringLiteral("Music"));
	run(1000);
	const float reached = music->volumeValue;
	EXPECT_NEAR(reached, 0.1f, 0.01f);
	holdFrom("stage");
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.AfterZero"));
	run(10000);
	EXPECT_FLOAT_EQ(music->volumeValue, reached);
	EXPECT_EQ(step(), StepAfterZero);
	EXPECT_NE(host->program, op);

	resumeFrom("stage");
	const int64_t resumed = clock.monotonicMs();
	EXPECT_EQ(director->flowStatus().afterZeroDeadline, resumed + 2000);
	run(1000);
	// Half of the 2 s left: halfway from -20 dB to -60 dB.
	EXPECT_NEAR(music->volumeValue, 0.01f, 0.001f);
	ASSERT_TRUE(runUntil([this] { return host->program == op; }));
	EXPECT_EQ(clock.monotonicMs(), resumed + 2000);
	EXPECT_FLOAT_EQ(music->volumeValue, 0.0f);
}

TEST_F(DirectorHoldTest, AHeldSwitchToTheOpSceneWaitsInTheQueueUntilTheResume)
{
	runToZero();
	host->stuckTransition = true; // the switch to OP cannot start yet
	run(3000);
	ASSERT_EQ(step(), StepOp);
	holdFrom("stage");
	host->stuckTransition = false;
	run(5000);
	EXPECT_NE(host->program, op);
	EXPECT_TRUE(director->flowStatus().waitingForResume);
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.AfterZero"));
	EXPECT_EQ(lineCount("保留した一歩"), 1);
	EXPECT_FALSE(sawPhase("opening"));

	resumeFrom("stage");
	EXPECT_EQ(host->program, op);
	EXPECT_TRUE(sawPhase("opening"));
}

TEST_F(DirectorHoldTest, HoldLocationsFollowTheFlow)
{
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.BeforeStart"));
	runToOp();
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Op"));
	director->startEnding();
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Ending"));
	director->toggleBreak();
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Break"));
	director->cancel();
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.BeforeStart"));

	host->source(op)->sceneItems.clear();
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepOpNoMedia; }));
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.OpNoMedia"));
}

TEST_F(DirectorHoldTest, TheOpEndingWhileHeldKeepsTheSwitchToMainForTheResume)
{
	runToOp();
	holdFrom("stage");
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(2000);
	EXPECT_EQ(host->program, op);
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.OpEnd"));
	EXPECT_TRUE(log.contains("保留した一歩: After the OP ended"));

	resumeFrom("stage");
	EXPECT_EQ(host->program, mainScene);
	EXPECT_EQ(step(), StepGoingMain);
}

TEST_F(DirectorHoldTest, AHeldSwitchToMainNamesTheMainLocationAndMainPressedMakesItAtOnce)
{
	runToOp();
	host->stuckTransition = true;
	host->source(QStringLiteral("OpClip"))->state = MediaEnded;
	run(tickMs);
	ASSERT_EQ(step(), StepGoingMain);
	holdFrom("stage");
	host->stuckTransition = false;
	run(1000);
	EXPECT_NE(host->program, mainScene);
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Main"));

	director->skipToMain(); // operator actions are never held back
	EXPECT_EQ(host->program, mainScene);
	EXPECT_TRUE(director->flowStatus().held);
	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_EQ(host->phases.back(), "opening_done");
}

TEST_F(DirectorHoldTest, HeldWhenTheBreakRunsOutTheBreakStaysAndOneStepIsKept)
{
	host->program = mainScene;
	director->toggleBreak();
	holdFrom("stage");
	run(8000);
	EXPECT_EQ(phase(), PhaseBreak);
	EXPECT_EQ(host->program, QStringLiteral("Break"));
	EXPECT_EQ(lineCount("[curtainup] 保留した一歩: During the break"), 1);
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Break"));

	resumeFrom("stage");
	EXPECT_EQ(step(), StepBackFromBreak);
	EXPECT_EQ(host->program, mainScene);
	ASSERT_TRUE(runUntil([this] { return step() == StepNone; }, 2000));
	EXPECT_EQ(phase(), PhaseIdle);
}

TEST_F(DirectorHoldTest, TheBreakRunningOutWhileHeldStartsNoWayBackBeforeTheResume)
{
	host->program = mainScene;
	director->toggleBreak();
	holdFrom("stage");
	run(8000);
	EXPECT_EQ(step(), StepNone);
	EXPECT_FALSE(director->flowStatus().waitingForResume);
	EXPECT_FALSE(log.contains("break over"));
	resumeFrom("stage");
	EXPECT_TRUE(log.contains("[curtainup] break over; back to 'Main'"));
}

TEST_F(DirectorHoldTest, AWayBackQueuedBehindATransitionAndHeldThereWaitsForAPerson)
{
	host->program = mainScene;
	director->toggleBreak();
	run(1000);
	host->stuckTransition = true; // the operator's own transition runs as the break ends
	run(4500);
	ASSERT_EQ(step(), StepBackFromBreak);
	ASSERT_EQ(host->program, QStringLiteral("Break"));
	holdFrom("stage");
	host->stuckTransition = false;
	run(5000);
	EXPECT_EQ(host->program, QStringLiteral("Break"));
	EXPECT_TRUE(director->flowStatus().waitingForResume);

	resumeFrom("stage");
	EXPECT_EQ(host->program, mainScene);
}

TEST_F(DirectorHoldTest, HeldInTheEndingTheStreamStopWaitsAndComesAfterTheTimeThatWasLeft)
{
	host->streaming = true;
	director->startEnding();
	run(10000);
	holdFrom("stage");
	EXPECT_EQ(location(), QStringLiteral("Hold.Location.Ending"));
	run(60000);
	EXPECT_EQ(host->streamStops, 0);
	EXPECT_EQ(director->flowStatus().stopStreamAt, clock.monotonicMs() + 20000);
	resumeFrom("stage");
	expectStreamStopIn(20000);
}

TEST_F(DirectorHoldTest, AnEndingStartedWhileHeldStopsTheStreamOnlyAfterTheResume)
{
	host->streaming = true;
	holdFrom("stage");
	director->startEnding();
	run(60000);
	EXPECT_EQ(host->streamStops, 0);
	resumeFrom("stage");
	expectStreamStopIn(30000);
}

TEST_F(DirectorHoldTest, CancelWhileHeldClearsTheStreamStop)
{
	host->streaming = true;
	director->startEnding();
	holdFrom("stage");
	director->cancel();
	resumeFrom("stage");
	run(60000);
	EXPECT_EQ(host->streamStops, 0);
	EXPECT_EQ(director->flowStatus().stopStreamAt, 0);
}

TEST_F(DirectorHoldTest, AStepKeptBeforeAnOperatorActionIsNotRunOnResume)
{
	director->startStandby();
	holdFrom("stage");
	ASSERT_TRUE(runUntil([] { return showState().snapshot().countdown.finished; }));
	director->startStandby(); // a new generation while still held
	EXPECT_TRUE(director->flowStatus().held);
	run(1000);
	resumeFrom("stage");
	EXPECT_FALSE(log.contains("再開で進めた一歩"));
	EXPECT_EQ(step(), StepNone);
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_TRUE(showState().isCounting());
}

TEST_F(DirectorHoldTest, AWaitPausedInAnOlderGenerationIsDroppedByTheOperatorsAction)
{
	runToZero();
	holdFrom("stage");
	director->startStandby();
	resumeFrom("stage");
	EXPECT_EQ(step(), StepNone);
	run(5000);
	EXPECT_EQ(phase(), PhaseStandby);
	EXPECT_NE(host->program, op);
}

TEST_F(DirectorHoldTest, ToggleHoldHoldsWithTheModulesReasonAndTellsTheSibling)
{
	director->toggleHold();
	EXPECT_TRUE(director->flowStatus().held);
	EXPECT_EQ(director->flowStatus().holdReason, QStringLiteral("CurtainUp の待つ"));
	EXPECT_TRUE(log.contains("[curtainup] 待った: from='curtainup' reason='CurtainUp の待つ'"));
	director->toggleHold();
	EXPECT_FALSE(director->flowStatus().held);
	EXPECT_EQ(host->holds, (std::vector<std::string>{"on:CurtainUp の待つ", "off:"}));
}

TEST_F(DirectorHoldTest, HoldingAgainInTheWaitPausesItAgain)
{
	director->startStandby();
	holdFrom("stage");
	ASSERT_TRUE(runUntil([] { return showState().snapshot().countdown.finished; }));
	resumeFrom("stage");
	ASSERT_EQ(step(), StepAfterZero);
	holdFrom("stage");
	run(10000);
	EXPECT_EQ(step(), StepAfterZero);
	EXPECT_NE(host->program, op);
	resumeFrom("stage");
	ASSERT_TRUE(runUntil([this] { return host->program == op; }));
}
