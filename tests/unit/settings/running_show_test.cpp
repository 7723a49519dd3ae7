// The running countdown's record in "config.json": written and read back, records that
// cannot be used, and what a record means when OBS starts again.
#include "log_capture.h"
#include "base/clock.h"
#include "settings/config.h"
#include "settings/running_show.h"
#include "temp_config.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <obs.hpp>

namespace {

constexpr int64_t now = 1767268800000; // 2026-01-01 12:00 UTC
constexpr int64_t hourMs = 3600000;

RunningShow heldBreak()
{
	RunningShow show;
	show.active = true;
	show.phase = RunningPhase::Break;
	show.endsAtWallMs = now + 90000;
	show.held = true;
	show.holdReason = QStringLiteral("ゲスト待ち");
	show.returnScene = QStringLiteral("Main");
	return show;
}

class RunningShowFile : public testing::Test {
protected:
	void TearDown() override { releaseConfig(); }
	TempConfig config;
	LogCapture log;
};

} // namespace

TEST_F(RunningShowFile, ARecordIsWrittenWithTheShowAndReadBackAtTheNextStart)
{
	loadConfig();
	const int64_t before = wallNowMs();
	storeRunningShow(heldBreak());
	const QJsonObject saved = QJsonDocument::fromJson(config.read()).object().value("running_show").toObject();
	EXPECT_EQ(saved.value("phase").toString(), "break");
	EXPECT_EQ(saved.value("ends_at").toVariant().toLongLong(), now + 90000);
	EXPECT_TRUE(saved.value("held").toBool());
	const int64_t writtenAt = saved.value("written_at").toVariant().toLongLong();
	EXPECT_GE(writtenAt, before);
	EXPECT_LE(writtenAt, wallNowMs());

	loadConfig();
	EXPECT_EQ(storedRunningShow(), heldBreak());

	storeRunningShow(RunningShow());
	EXPECT_FALSE(QJsonDocument::fromJson(config.read()).object().contains("running_show"));
}

TEST_F(RunningShowFile, ARecordThatCannotBeUsedIsIgnoredWithOneLine)
{
	const char *broken[] = {
		R"({"phase": "op", "ends_at": 1767268890000})",
		R"({"phase": "standby"})",
		R"({"phase": "standby", "ends_at": "soon"})",
		R"({"phase": "standby", "ends_at": 1767268890000.5})",
		R"({"phase": "standby", "ends_at": 1767268890000, "held": "yes"})",
		R"("standby")",
	};
	for (const char *record : broken) {
		config.write(QByteArray(R"({"version": 2, "presets": [{"name": "A"}], "running_show": )") + record +
			     "}");
		log.clear();
		loadConfig();
		EXPECT_FALSE(storedRunningShow().active) << record;
		EXPECT_EQ(log.count("[curtainup] running show in the settings ignored"), 1) << record;
	}
}

TEST(RunningShowRecord, ARestartKnowsWhetherTheCountdownGoesOn)
{
	RunningShow show = heldBreak();
	EXPECT_EQ(restartCase(show, now), RestartCase::GoesOn);
	show.endsAtWallMs = now - 1000;
	EXPECT_EQ(restartCase(show, now), RestartCase::EndedWhileClosed);
	show.endsAtWallMs = now;
	EXPECT_EQ(restartCase(show, now), RestartCase::EndedWhileClosed);
	show.endsAtWallMs = now - 25 * hourMs;
	EXPECT_EQ(restartCase(show, now), RestartCase::DaysOld);
	show.endsAtWallMs = now + 25 * hourMs;
	EXPECT_EQ(restartCase(show, now), RestartCase::TooFarAhead);
	show = heldBreak();
	show.writtenAtWallMs = now + 1; // the wall clock went back since it was written
	EXPECT_EQ(restartCase(show, now), RestartCase::WrittenInFuture);
}
