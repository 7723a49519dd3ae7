// The unattended show: armed for a show time, the director starts the stream (and the
// recording) at the go-live time and the standby with it, counting down to the show time.
#include "director/director.h"

#include "base/clock.h"
#include "base/module_host.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QTimer>

#include <limits>

namespace {

// The stream OBS was asked to start is checked this long after, and asked again so often.
constexpr int64_t streamCheckMs = 15000;
constexpr int streamTriesAgain = 3;

Preset presetNow()
{
	return presetCount() > 0 ? currentPreset() : Preset();
}

} // namespace

ArmPlan Director::arm(const ArmRequest &request)
{
	operatorActed();
	const bool showRunning = showState().phase() != PhaseIdle || step != StepNone || onMain;
	const ArmPlan plan = planArming(presetNow(), request, wallNowMs(), showRunning, arming.active);
	if (!plan.refusal.isEmpty())
		return plan;
	ArmedShow show;
	show.active = true;
	show.goLiveAtWallMs = plan.goLiveAtWallMs;
	show.showAtWallMs = plan.showAtWallMs;
	setArming(show);
	moduleLog(LOG_INFO, "armed: live at %s, show at %s", logClockTime(show.goLiveAtWallMs).constData(),
		  logClockTime(show.showAtWallMs).constData());
	followArming();
	return plan;
}

void Director::disarm()
{
	operatorActed();
	if (!arming.active)
		return;
	setArming(ArmedShow());
	moduleLog(LOG_INFO, "disarmed");
}

void Director::restoreArming(const ArmedShow &found)
{
	switch (armedRestartCase(found, wallNowMs())) {
	case ArmedRestart::WrittenInFuture:
		moduleLog(LOG_WARNING, "armed show ignored: it was written %lld s from now (the clock went back)",
			  static_cast<long long>((found.writtenAtWallMs - wallNowMs() + 999) / 1000));
		setArming(ArmedShow());
		return;
	case ArmedRestart::Missed:
		setArming(ArmedShow());
		reportProblem(moduleText("Problem.ScheduleMissed"), true);
		return;
	case ArmedRestart::StaysArmed:
	case ArmedRestart::GoesLiveNow:
		break;
	}
	setArming(found);
	moduleLog(LOG_INFO, "armed schedule restored");
	followArming();
}

void Director::setArming(const ArmedShow &show)
{
	arming = show;
	storeArmedShow(show);
	goLiveTimer->stop();
	const int64_t untilGoLive = show.goLiveAtWallMs - wallNowMs();
	if (show.active && untilGoLive > 0 && untilGoLive < std::numeric_limits<int>::max())
		goLiveTimer->start(static_cast<int>(untilGoLive) + 1); // never before it on the wall clock
}

void Director::followArming()
{
	if (!arming.active || held)
		return;
	const int64_t now = wallNowMs();
	if (now >= arming.showAtWallMs) {
		// Held through the show time: nothing goes live any more.
		setArming(ArmedShow());
		reportProblem(moduleText("Problem.ScheduleHeldPast"), true);
	} else if (now >= arming.goLiveAtWallMs) {
		goLive(arming);
	}
}

void Director::goLive(ArmedShow show)
{
	const Preset preset = presetNow();
	setArming(ArmedShow());
	moduleLog(LOG_INFO, "going live (show at %s)", logClockTime(show.showAtWallMs).constData());
	enterStandby(nullptr, 0, show.showAtWallMs);
	if (!host->streamingActive())
		host->startStreaming();
	if (preset.go_live_record && !host->recordingActive())
		host->startRecording();
	stopRecordingWithStream = preset.go_live_record;
	streamRetries = 0;
	streamCheckAt = monotonicNowMs() + streamCheckMs;
}

void Director::watchStream(int64_t now)
{
	if (streamCheckAt == 0 || now < streamCheckAt)
		return;
	if (host->streamingActive()) {
		streamCheckAt = 0;
		return;
	}
	// The standby runs anyway: the operator may start the stream by hand.
	streamProblemShown = true;
	if (streamRetries == streamTriesAgain) {
		streamCheckAt = 0;
		reportProblem(moduleText("Problem.StreamNotStarted"), true);
		return;
	}
	++streamRetries;
	reportProblem(moduleText("Problem.StreamRetrying").arg(streamRetries).arg(streamTriesAgain), true);
	host->startStreaming();
	streamCheckAt = now + streamCheckMs;
}

void Director::stopStream()
{
	moduleLog(LOG_INFO, "stopping the stream (ending timer)");
	host->stopStreaming();
	if (stopRecordingWithStream && host->recordingActive())
		host->stopRecording();
	stopRecordingWithStream = false;
}

void Director::onStreamingStarted()
{
	if (streamProblemShown) {
		streamProblemShown = false;
		streamCheckAt = 0;
		problemUntilOperatorActs = false;
		problemUntil = 0;
	}
	const Preset preset = presetNow();
	const bool idle = showState().phase() == PhaseIdle && step == StepNone && !onMain && !arming.active;
	if (!preset.start_on_stream || !idle)
		return;
	moduleLog(LOG_INFO, "standby started on stream start");
	enterStandby(nullptr, 0, 0);
}
