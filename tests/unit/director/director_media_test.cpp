// The music fade and its saved volume, the OP media watch and the ending media.
#include "director_fixture.h"

#include "director/fade_curve.h"
#include "settings/config.h"

#include <cmath>

namespace {

const QString music = QStringLiteral("Music");
const QString mainScene = QStringLiteral("Main");

float decibels(float volume)
{
	return 20.0f * std::log10(volume);
}

} // namespace

TEST(FadeCurve, IsEvenInDecibelsDownToMinusSixty)
{
	EXPECT_FLOAT_EQ(fadeVolume(1.0f, 0.0f), 1.0f);
	EXPECT_NEAR(decibels(fadeVolume(1.0f, 1.0f / 3.0f)), -20.0f, 0.01f);
	EXPECT_NEAR(decibels(fadeVolume(1.0f, 2.0f / 3.0f)), -40.0f, 0.01f);
	EXPECT_NEAR(decibels(fadeVolume(1.0f, 1.0f)), -60.0f, 0.01f);
	EXPECT_NEAR(decibels(fadeVolume(0.5f, 0.0f)), -6.02f, 0.01f);
	EXPECT_NEAR(decibels(fadeVolume(0.5f, 0.5f)), (-6.02f - 60.0f) / 2.0f, 0.01f);
	EXPECT_FLOAT_EQ(fadeVolume(0.0f, 0.5f), 0.0f);
	EXPECT_LE(fadeVolume(0.2f, 0.0f), 0.2f);
}

class DirectorMediaTest : public DirectorTest {
protected:
	std::shared_ptr<FakeSource> source(const char *name) const { return host->source(QString::fromLatin1(name)); }
	// Standby run up to the tick that sees zero (the fade starts there).
	void runToZero()
	{
		director->startStandby();
		ASSERT_TRUE(runUntil([this] { return step() == StepAfterZero; }));
	}
	// The switch to the main scene follows once the one to the OP scene is over.
	bool reachesMain()
	{
		return runUntil([this] { return host->program == mainScene; }, 2000);
	}
	// Standby with the OP clip never playing, up to the moment the watch began.
	void runToOpWatch()
	{
		director->startStandby();
		ASSERT_TRUE(runUntil([this] { return log.contains("OP: waiting for"); }));
	}
};

TEST_F(DirectorMediaTest, TheMusicFadesEvenlyInDecibelsOverTheWait)
{
	runToZero();
	const std::shared_ptr<FakeSource> track = source("Music");
	EXPECT_TRUE(log.contains("[curtainup] fading out 'Music' over 3000 ms"));
	EXPECT_FLOAT_EQ(track->volumeValue, 1.0f);
	run(1000);
	EXPECT_NEAR(track->volumeValue, 0.1f, 0.001f);
	run(1000);
	EXPECT_NEAR(track->volumeValue, 0.01f, 0.0001f);
	run(950);
	EXPECT_GT(track->volumeValue, 0.0f);
	EXPECT_FALSE(log.contains("BGM faded out"));
	run(tickMs);
	EXPECT_FLOAT_EQ(track->volumeValue, 0.0f);
	EXPECT_TRUE(log.contains("[curtainup] BGM faded out"));
}

TEST_F(DirectorMediaTest, AFadeFromHalfVolumeStartsAtMinusSixDecibels)
{
	source("Music")->volumeValue = 0.5f;
	runToZero();
	run(tickMs);
	const float first = decibels(source("Music")->volumeValue);
	EXPECT_LT(first, -6.0f);
	EXPECT_GT(first, -7.0f);
	EXPECT_EQ(bgmRestore().volume, 0.5);
}

TEST_F(DirectorMediaTest, AFadeOfNoLengthSilencesTheMusicAtOnce)
{
	Preset preset = showPreset();
	preset.switch_after = 0;
	usePreset(preset);
	director->startStandby();
	run(10000);
	EXPECT_FLOAT_EQ(source("Music")->volumeValue, 0.0f);
	EXPECT_TRUE(log.contains("[curtainup] BGM faded out"));
}

TEST_F(DirectorMediaTest, TheVolumeBeforeTheFadeIsSavedAndPutBackOnTheNextStandby)
{
	source("Music")->volumeValue = 0.8f;
	runToZero();
	run(4000);
	MusicRestore saved = bgmRestore();
	ASSERT_TRUE(saved.pending);
	EXPECT_EQ(saved.source, music);
	EXPECT_FLOAT_EQ(float(saved.volume), 0.8f);
	EXPECT_TRUE(config.read().contains("bgm_restore"));
	EXPECT_FLOAT_EQ(source("Music")->volumeValue, 0.0f); // stays silent until put back

	director->startStandby();
	EXPECT_FLOAT_EQ(source("Music")->volumeValue, 0.8f);
	EXPECT_FALSE(bgmRestore().pending);
	EXPECT_FALSE(config.read().contains("bgm_restore"));
	EXPECT_TRUE(log.contains("[curtainup] BGM 'Music' volume back to 0.800"));
}

TEST_F(DirectorMediaTest, TheSavedVolumeSurvivesARestartOfTheHost)
{
	source("Music")->volumeValue = 0.7f;
	runToZero();
	run(4000);
	saveConfig();
	releaseConfig();
	loadConfig(); // the next start reads the file again
	usePreset(showPreset());
	restartDirector();
	source("Music")->volumeValue = 0.0f;
	ASSERT_TRUE(bgmRestore().pending);
	director->startStandby();
	EXPECT_FLOAT_EQ(source("Music")->volumeValue, 0.7f);
	EXPECT_FALSE(bgmRestore().pending);
}

TEST_F(DirectorMediaTest, ASavedVolumeOfTheSameSourceIsNotOverwrittenByALaterFade)
{
	host->removeSource(music); // missing at standby: the record waits
	setBgmRestore(music, 0.9);
	director->startStandby();
	ASSERT_TRUE(bgmRestore().pending);
	host->addAudio(music)->volumeValue = 0.3f;
	run(10000);
	ASSERT_TRUE(log.contains("fading out 'Music'"));
	EXPECT_FLOAT_EQ(float(bgmRestore().volume), 0.9f);
}

TEST_F(DirectorMediaTest, ASavedVolumeOfAnotherSourceIsReplacedByTheNewFade)
{
	setBgmRestore(QStringLiteral("Old music"), 0.9);
	source("Music")->volumeValue = 0.6f;
	runToZero();
	EXPECT_EQ(bgmRestore().source, music);
	EXPECT_FLOAT_EQ(float(bgmRestore().volume), 0.6f);
}

TEST_F(DirectorMediaTest, BreakEndingAndCancelPutTheVolumeBackWhenTheyCutAFadeShort)
{
	for (void (Director::*action)() : {&Director::toggleBreak, &Director::startEnding, &Director::cancel}) {
		director->cancel();
		source("Music")->volumeValue = 1.0f;
		runToZero();
		run(1000);
		ASSERT_LT(source("Music")->volumeValue, 0.5f);
		(director.get()->*action)();
		EXPECT_FLOAT_EQ(source("Music")->volumeValue, 1.0f);
		EXPECT_FALSE(bgmRestore().pending);
	}
}

TEST_F(DirectorMediaTest, AFinishedFadeIsNotUndoneByABreak)
{
	runToZero();
	run(4000);
	director->toggleBreak();
	EXPECT_FLOAT_EQ(source("Music")->volumeValue, 0.0f);
	EXPECT_TRUE(bgmRestore().pending);
}

TEST_F(DirectorMediaTest, MissingMusicIsReportedAndTheFlowGoesOn)
{
	host->removeSource(music);
	runToZero();
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("Source 'Music' not found or not usable here."));
	ASSERT_TRUE(runUntil([this] { return host->program == QStringLiteral("OP"); }));
}

TEST_F(DirectorMediaTest, MusicDeletedDuringTheFadeEndsItSilently)
{
	runToZero();
	const std::weak_ptr<FakeSource> gone = source("Music");
	host->removeSource(music);
	ASSERT_TRUE(gone.expired()); // the fade does not keep it alive
	run(4000);
	EXPECT_FALSE(log.contains("BGM faded out"));
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
}

TEST_F(DirectorMediaTest, TheOpMediaIsTheFirstVisibleMediaLookingInsideVisibleGroups)
{
	runToOpWatch();
	EXPECT_TRUE(log.contains("[curtainup] OP: waiting for 'OpClip' to end"));
	EXPECT_EQ(source("OpClip")->endedFlags.size(), 1u);
	EXPECT_TRUE(source("HiddenClip")->endedFlags.empty());
}

TEST_F(DirectorMediaTest, AHiddenGroupIsNotSearched)
{
	host->source(QStringLiteral("OP"))->sceneItems[1].visible = false;
	host->addMedia(QStringLiteral("LaterClip"));
	host->addItem(QStringLiteral("OP"), QStringLiteral("LaterClip"));
	runToOpWatch();
	EXPECT_TRUE(log.contains("[curtainup] OP: waiting for 'LaterClip' to end"));
}

TEST_F(DirectorMediaTest, ANamedOpMediaThatIsNoMediaIsReported)
{
	Preset preset = showPreset();
	preset.op_media = music;
	usePreset(preset);
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return step() == StepOpNoMedia; }));
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("Source 'Music' not found or not usable here."));
	const std::vector<LogCapture::Line> lines = log.lines();
	EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const LogCapture::Line &line) {
		return line.level == 200 && line.text == "[curtainup] no OP media found; waiting for the main button";
	}));
}

TEST_F(DirectorMediaTest, ANamedOpMediaIsWatched)
{
	Preset preset = showPreset();
	preset.op_media = QStringLiteral("HiddenClip");
	usePreset(preset);
	runToOpWatch();
	EXPECT_TRUE(log.contains("[curtainup] OP: waiting for 'HiddenClip' to end"));
}

TEST_F(DirectorMediaTest, AMediaThatNeverStartsIsRestartedOnceAfterOneAndAHalfSeconds)
{
	runToOpWatch();
	run(1500);
	EXPECT_EQ(source("OpClip")->restarts, 0);
	run(tickMs);
	EXPECT_EQ(source("OpClip")->restarts, 1);
	EXPECT_TRUE(log.contains("[curtainup] OP: restarted 'OpClip'"));
	run(10000);
	EXPECT_EQ(source("OpClip")->restarts, 1);
	EXPECT_EQ(step(), StepOp);
}

TEST_F(DirectorMediaTest, AMediaStillNotPlayingTenSecondsAfterItsRestartIsReportedOnce)
{
	runToOpWatch();
	run(1500 + tickMs);
	ASSERT_EQ(source("OpClip")->restarts, 1);
	run(10000);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	run(tickMs);
	EXPECT_EQ(director->flowStatus().problem,
		  QStringLiteral("OP media 'OpClip' is not playing; press Go to main when ready."));
	run(30000);
	EXPECT_EQ(log.count("is not playing"), 1);
	EXPECT_EQ(step(), StepOp); // the operator decides
	EXPECT_EQ(host->program, QStringLiteral("OP"));
}

TEST_F(DirectorMediaTest, AMediaThatStallsWhilePlayingIsReportedButAPausedOneIsNot)
{
	runToOpWatch();
	const std::shared_ptr<FakeSource> clip = source("OpClip");
	clip->durationMs = 60000;
	clip->state = MediaPlaying;
	for (int ticks = 0; ticks < 20; ++ticks) {
		clip->timeMs += tickMs;
		run(tickMs);
	}
	clip->state = MediaPaused; // by the operator
	run(20000);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	clip->state = MediaPlaying; // but the position stands still
	run(10000);
	EXPECT_TRUE(director->flowStatus().problem.isEmpty());
	run(tickMs);
	EXPECT_EQ(director->flowStatus().problem,
		  QStringLiteral("OP media 'OpClip' is not playing; press Go to main when ready."));
	EXPECT_EQ(step(), StepOp);
}

TEST_F(DirectorMediaTest, TheWatchKeepsNoSourceAliveAndAMediaTheHostDropsIsReported)
{
	runToOpWatch();
	const std::weak_ptr<FakeSource> clip = source("OpClip");
	for (const char *name : {"OP", "OpGroup", "OpClip"})
		host->removeSource(QString::fromLatin1(name));
	EXPECT_TRUE(clip.expired()); // as when the host clears its scenes on closing
	run(tickMs);
	EXPECT_EQ(step(), StepOpNoMedia);
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("Source 'OpClip' not found or not usable here."));
}

TEST_F(DirectorMediaTest, AMediaSeenPlayingIsNotRestarted)
{
	runToOpWatch();
	source("OpClip")->state = MediaPlaying;
	run(5000);
	EXPECT_EQ(source("OpClip")->restarts, 0);
}

TEST_F(DirectorMediaTest, AStoppedMediaCountsAsEndedOnlyAfterItWasSeenPlaying)
{
	runToOpWatch();
	source("OpClip")->state = MediaStopped;
	run(1000);
	EXPECT_EQ(step(), StepOp);
	source("OpClip")->state = MediaPlaying;
	run(tickMs);
	source("OpClip")->state = MediaStopped;
	run(tickMs);
	EXPECT_TRUE(log.contains("[curtainup] OP: 'OpClip' ended"));
	EXPECT_TRUE(reachesMain());
}

TEST_F(DirectorMediaTest, TheMediaEndedSignalEndsTheOpOnTheNextTick)
{
	runToOpWatch();
	source("OpClip")->emitMediaEnded();
	EXPECT_EQ(step(), StepOp);
	run(tickMs);
	EXPECT_TRUE(reachesMain());
	EXPECT_TRUE(source("OpClip")->endedFlags.empty()); // disconnected with the watch
}

TEST_F(DirectorMediaTest, AMediaErrorCountsAsEndedAfterOneSecond)
{
	runToOpWatch();
	source("OpClip")->state = MediaError;
	run(1000);
	EXPECT_EQ(step(), StepOp);
	run(tickMs);
	EXPECT_EQ(director->flowStatus().problem, QStringLiteral("Media 'OpClip' failed to play; moving on."));
	EXPECT_TRUE(reachesMain());
}

TEST_F(DirectorMediaTest, ALoopingMediaThatWrapsAroundCountsAsEnded)
{
	runToOpWatch();
	const std::shared_ptr<FakeSource> clip = source("OpClip");
	clip->state = MediaPlaying;
	clip->durationMs = 10000;
	clip->timeMs = 5000;
	run(tickMs);
	clip->timeMs = 200; // a seek back from the middle is not the loop
	run(tickMs);
	EXPECT_EQ(step(), StepOp);
	clip->timeMs = 9000;
	run(tickMs);
	clip->timeMs = 100;
	run(tickMs);
	EXPECT_TRUE(log.contains("[curtainup] OP: 'OpClip' ended"));
	EXPECT_TRUE(reachesMain());
}

TEST_F(DirectorMediaTest, TheEndingMediaIsRestartedOneSecondAfterTheEndingSceneIsSet)
{
	director->startEnding();
	run(950);
	EXPECT_EQ(source("EndingVideo")->restarts, 0);
	run(tickMs);
	EXPECT_EQ(source("EndingVideo")->restarts, 1);
	EXPECT_TRUE(log.contains("[curtainup] restarted media 'EndingVideo'"));
	run(5000);
	EXPECT_EQ(source("EndingVideo")->restarts, 1);
}

TEST_F(DirectorMediaTest, AnEndingMediaAlreadyPlayingIsLeftAlone)
{
	source("EndingVideo")->state = MediaPlaying;
	director->startEnding();
	run(2000);
	EXPECT_EQ(source("EndingVideo")->restarts, 0);
}

TEST_F(DirectorMediaTest, TheEndingMediaRestartWaitsForTheEndingSwitch)
{
	host->transitionEndsAt = clock.monotonicMs() + 2000; // the operator's transition runs
	director->startEnding();
	run(2000);
	EXPECT_EQ(source("EndingVideo")->restarts, 0);
	run(1000);
	EXPECT_EQ(source("EndingVideo")->restarts, 1);
}
