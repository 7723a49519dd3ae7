#include "director_fixture.h"

#include "settings/config.h"
#include "settings/preset_store.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

DirectorTest::DirectorTest()
{
	loadConfig(); // an empty folder: one default preset, no saved music volume
	usePreset(showPreset());
	showState().resetCountdown();
	showState().setHeld(false);
	restartDirector();
}

DirectorTest::~DirectorTest()
{
	director.reset();
	showState().resetCountdown();
	showState().setHeld(false);
	releaseConfig();
}

Preset DirectorTest::showPreset()
{
	Preset preset = defaultPreset(QStringLiteral("Show"));
	preset.standby_scene = QStringLiteral("Standby");
	preset.count_mode = 1;
	preset.duration_ms = 10000;
	preset.switch_after = 3;
	preset.bgm = QStringLiteral("Music");
	preset.op_scene = QStringLiteral("OP");
	preset.op_media.clear();
	preset.to_op = {QStringLiteral("Slide"), 800};
	preset.main_scene = QStringLiteral("Main");
	preset.break_scene = QStringLiteral("Break");
	preset.break_ms = 5000;
	preset.ending_scene = QStringLiteral("Ending");
	preset.ending_media = QStringLiteral("EndingVideo");
	preset.stop_stream = true;
	preset.stop_after = 30;
	return preset;
}

void DirectorTest::usePreset(const Preset &preset)
{
	currentPreset() = preset;
	announcePresetChange();
}

void DirectorTest::restartDirector()
{
	director.reset();
	auto fake = std::make_unique<FakeHost>();
	host = fake.get();
	for (const char *scene : {"Standby", "OP", "Main", "Break", "Ending", "Other"})
		host->addScene(QString::fromLatin1(scene));
	host->addMedia(QStringLiteral("HiddenClip"));
	host->addScene(QStringLiteral("OpGroup"));
	host->addMedia(QStringLiteral("OpClip"));
	host->addItem(QStringLiteral("OP"), QStringLiteral("HiddenClip"), false);
	host->addItem(QStringLiteral("OP"), QStringLiteral("OpGroup"), true, true);
	host->addItem(QStringLiteral("OpGroup"), QStringLiteral("OpClip"));
	host->addAudio(QStringLiteral("Music"));
	host->addMedia(QStringLiteral("EndingVideo"));
	host->transitions << QStringLiteral("Slide");
	host->program = QStringLiteral("Other");
	director = std::make_unique<Director>(std::move(fake));
}

void DirectorTest::run(int64_t ms)
{
	for (int64_t passed = 0; passed < ms; passed += tickMs)
		tickOnce(tickMs);
}

void DirectorTest::tickOnce(int64_t ms)
{
	deliverHostEvents();
	fireDueTimers();
	clock.advance(ms);
	fireDueTimers();
	director->tick();
}

void DirectorTest::deliverHostEvents()
{
	const std::vector<FakeHost::Event> events = std::move(host->events);
	host->events.clear();
	for (const FakeHost::Event &event : events) {
		switch (event.what) {
		case FakeHost::OutputEvent::StreamStarted:
			director->onStreamingStarted();
			break;
		case FakeHost::OutputEvent::StreamStopped:
			host->lastStopClean = event.clean;
			director->onStreamingStopped();
			break;
		case FakeHost::OutputEvent::RecordingStopped:
			director->onRecordingStopped();
			break;
		}
	}
}

void DirectorTest::fireDueTimers()
{
	for (QTimer *timer : director->findChildren<QTimer *>()) {
		if (!timer->isSingleShot() || !timer->isActive())
			continue;
		const auto seen = timerStarts.emplace(timer->timerId(), clock.monotonicMs()).first;
		if (clock.monotonicMs() - seen->second < timer->interval())
			continue;
		timerStarts.erase(seen);
		QTimerEvent due(timer->timerId());
		QCoreApplication::sendEvent(timer, &due);
	}
}

void DirectorTest::runToOp()
{
	director->startStandby();
	ASSERT_TRUE(runUntil([this] { return host->program == QStringLiteral("OP"); }));
	host->source(QStringLiteral("OpClip"))->state = MediaPlaying;
	ASSERT_TRUE(runUntil([this] { return log.contains("[curtainup] now on scene 'OP'"); }));
	ASSERT_EQ(step(), StepOp);
}
