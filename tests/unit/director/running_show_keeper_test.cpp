// The running countdown's record kept in step with the show, and the show picked up from
// it when OBS has loaded again.
#include "module_fixture.h"

#include "base/module_host.h"
#include "director/running_show_keeper.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class RunningShowKeeperTest : public ModuleTest {
protected:
	~RunningShowKeeperTest() override { storeRunningShow(RunningShow()); }

	QJsonObject savedRecord() const
	{
		return QJsonDocument::fromJson(config.read()).object().value("running_show").toObject();
	}
	void keep() { keepRunningShow(runningShowAt(showState().snapshot(), director->flowStatus(), QString())); }

	RunningShow recordEndingIn(int64_t ms) const
	{
		RunningShow show;
		show.active = true;
		show.endsAtWallMs = clock.wallMs() + ms;
		show.held = true;
		show.holdReason = QStringLiteral("guest late");
		return show;
	}
};

} // namespace

TEST_F(RunningShowKeeperTest, TheRecordIsWrittenWhenTheShowChangesNotAsTimePasses)
{
	director->startStandby();
	keep();
	EXPECT_TRUE(storedRunningShow().active);
	EXPECT_EQ(storedRunningShow().endsAtWallMs, clock.wallMs() + currentPreset().duration_ms);

	QFile::remove(config.path());
	clock.advance(1000);
	keep();
	EXPECT_FALSE(QFile::exists(config.path())) << "the same show is not written again";

	director->hold(true, QStringLiteral("desk"), QStringLiteral("mic"));
	keep();
	EXPECT_EQ(savedRecord().value("hold_reason").toString(), "mic");
	director->addTime(60000);
	keep();
	EXPECT_EQ(storedRunningShow().endsAtWallMs, clock.wallMs() + currentPreset().duration_ms - 1000 + 60000);

	director->cancel();
	keep();
	EXPECT_TRUE(savedRecord().isEmpty());
}

TEST_F(RunningShowKeeperTest, AShowWhoseEndIsAheadGoesOnHeld)
{
	storeRunningShow(recordEndingIn(42000));
	resumeRunningShow();
	const ShowSnapshot snapshot = showState().snapshot();
	EXPECT_EQ(snapshot.countdown.phase, PhaseStandby);
	EXPECT_EQ(snapshot.remainingMs(), 42000);
	EXPECT_TRUE(director->flowStatus().held);
	EXPECT_EQ(director->flowStatus().holdReason, QStringLiteral("guest late"));
	EXPECT_EQ(log.count("[curtainup] countdown resumed after restart (42 s left)"), 1);
	EXPECT_TRUE(storedRunningShow().active);
	// The dock says so until the operator's next action.
	clock.advance(20000);
	EXPECT_TRUE(director->flowStatus().resumedAfterRestart);
	director->hold(false, QStringLiteral("desk"), QString());
	EXPECT_FALSE(director->flowStatus().resumedAfterRestart);
}

TEST_F(RunningShowKeeperTest, ARecordWrittenInTheFutureIsDropped)
{
	storeRunningShow(recordEndingIn(42000));
	// The file says it was written an hour from now: the wall clock went back since.
	QJsonObject file = QJsonDocument::fromJson(config.read()).object();
	QJsonObject record = file.value("running_show").toObject();
	record.insert("written_at", double(clock.wallMs() + 3600000));
	file.insert("running_show", record);
	config.write(QJsonDocument(file).toJson());
	loadConfig();
	log.clear();
	resumeRunningShow();
	EXPECT_EQ(showState().phase(), PhaseIdle);
	EXPECT_EQ(log.count("[curtainup] running show ignored: it was written 3600 s from now (the clock went back)"),
		  1);
	EXPECT_FALSE(storedRunningShow().active);
}

TEST_F(RunningShowKeeperTest, AShowThatEndedWhileClosedStaysIdleWithTheProblem)
{
	storeRunningShow(recordEndingIn(-5000));
	log.clear();
	resumeRunningShow();
	EXPECT_EQ(showState().phase(), PhaseIdle);
	EXPECT_EQ(director->flowStatus().problem, moduleText("Problem.EndedWhileClosed"));
	EXPECT_EQ(log.count("[curtainup]"), 1);
	// It stays until the operator's next action, however long the start-up takes.
	clock.advance(60000);
	EXPECT_EQ(director->flowStatus().problem, moduleText("Problem.EndedWhileClosed"));
	director->cancel();
	EXPECT_EQ(director->flowStatus().problem, QString());
	EXPECT_FALSE(storedRunningShow().active);
	EXPECT_TRUE(savedRecord().isEmpty());

	storeRunningShow(recordEndingIn(-3 * 86400000LL));
	log.clear();
	resumeRunningShow();
	EXPECT_EQ(log.count("[curtainup] running show ignored: it ended 72 hours ago"), 1);
	EXPECT_EQ(log.count("[curtainup]"), 1);
	EXPECT_FALSE(storedRunningShow().active);
}
