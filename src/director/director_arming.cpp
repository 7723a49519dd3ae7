// The unattended show: armed for a show time, the director starts the stream (and the
// recording) at the go-live time and the standby with it, counting down to the show time.
#include "director/director.h"

#include "base/clock.h"
#include "base/module_host.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QTimer>

#include <limits>

ArmPlan Director::arm(const ArmRequest &request)
{
	operatorActed();
	const bool showRunning = showState().phase() != PhaseIdle || step != StepNone || onMain;
	const ArmPlan plan = planArming(selectedPreset(), request, wallNowMs(), showRunning, arming.active);
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

void Director::restoreArming(ArmedShow found)
{
	const int64_t now = wallNowMs();
	if (armedRestartCase(found, now) == ArmedRestart::Missed) {
		setArming(ArmedShow());
		reportProblem(moduleText("Problem.ScheduleMissed"), true);
		return;
	}
	// A record obeys the bounds a request does; its times are absolute, so a record
	// written "in the future" (the clock went back since) stays while its show is ahead.
	const QString refusal = armingTimesRefusal(found.goLiveAtWallMs, found.showAtWallMs, now);
	if (!refusal.isEmpty()) {
		moduleLog(LOG_WARNING, "armed show ignored: %s", qUtf8Printable(refusal));
		setArming(ArmedShow());
		return;
	}
	moduleLog(LOG_INFO, "armed schedule restored%s", found.held ? " (held)" : "");
	// Held first: the arming is kept with its hold, and nothing goes live meanwhile.
	if (found.held)
		hold(true, QStringLiteral("curtainup"), found.holdReason);
	setArming(found);
	followArming();
}

void Director::setArming(const ArmedShow &show)
{
	arming = show;
	goLiveHeldBack = false;
	keepArming();
	goLiveTimer->stop();
	const int64_t untilGoLive = show.goLiveAtWallMs - wallNowMs();
	if (show.active && untilGoLive > 0 && untilGoLive < std::numeric_limits<int>::max())
		goLiveTimer->start(static_cast<int>(untilGoLive) + 1); // never before it on the wall clock
}

void Director::keepArming()
{
	arming.held = arming.active && held;
	arming.holdReason = arming.held ? holdReason : QString();
	storeArmedShow(arming);
}

void Director::followArming()
{
	if (!arming.active)
		return;
	const int64_t now = wallNowMs();
	if (held) {
		goLiveHeldBack = goLiveHeldBack || now >= arming.goLiveAtWallMs;
		return;
	}
	if (now >= arming.showAtWallMs) {
		// Nothing goes live after the show time: held through it, or a machine that slept
		// through it (or a clock that jumped).
		const bool heldPast = goLiveHeldBack;
		setArming(ArmedShow());
		reportProblem(moduleText(heldPast ? "Problem.ScheduleHeldPast" : "Problem.ScheduleTimePassed"), true);
	} else if (now >= arming.goLiveAtWallMs) {
		goLive(arming);
	}
}

void Director::goLive(ArmedShow show)
{
	const Preset preset = selectedPreset();
	setArming(ArmedShow());
	moduleLog(LOG_INFO, "going live (show at %s)", logClockTime(show.showAtWallMs).constData());
	enterStandby(nullptr, 0, show.showAtWallMs);
	outputs.goLive(preset.go_live_record, monotonicNowMs());
}

void Director::onStreamingStarted()
{
	host->followStreamOutput();
	outputs.streamStarted();
	const Preset preset = selectedPreset();
	const bool idle = showState().phase() == PhaseIdle && step == StepNone && !onMain && !arming.active;
	if (!preset.start_on_stream || !idle)
		return;
	moduleLog(LOG_INFO, "standby started on stream start");
	enterStandby(nullptr, 0, 0);
}
