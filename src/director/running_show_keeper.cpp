#include "director/running_show_keeper.h"

#include "base/clock.h"
#include "base/module_host.h"
#include "director/arming.h"
#include "director/director.h"
#include "settings/armed_show.h"
#include "settings/started_outputs.h"
#include "show/show_state.h"

#include <cstdlib>

namespace {

// The record's end is worked out from two clocks read one after the other; it wanders by
// a millisecond or so between polls.
constexpr int64_t endToleranceMs = 500;

bool sameRecord(const RunningShow &a, const RunningShow &b)
{
	RunningShow sameEnd = b;
	sameEnd.endsAtWallMs = a.endsAtWallMs;
	return a == sameEnd && std::llabs(a.endsAtWallMs - b.endsAtWallMs) <= endToleranceMs;
}

} // namespace

RunningShow runningShowAt(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &returnScene)
{
	RunningShow show;
	if (!snapshot.counting())
		return show;
	const bool inBreak = snapshot.countdown.phase == PhaseBreak;
	const int64_t endsAt = inBreak ? snapshot.breakEndsAt : snapshot.countdown.endsAt;
	show.active = true;
	show.phase = inBreak ? RunningPhase::Break : RunningPhase::Standby;
	show.endsAtWallMs = snapshot.nowWall + endsAt - snapshot.nowMono;
	show.held = flow.held;
	show.holdReason = flow.holdReason;
	if (inBreak)
		show.returnScene = returnScene;
	return show;
}

void keepRunningShow(const RunningShow &now)
{
	if (!sameRecord(now, storedRunningShow()))
		storeRunningShow(now);
}

namespace {

void resumeCountdown(Director &director)
{
	const RunningShow show = storedRunningShow();
	if (!show.active)
		return;
	const int64_t now = wallNowMs();
	switch (restartCase(show, now)) {
	case RestartCase::GoesOn:
		director.resumeShow(show);
		return;
	case RestartCase::EndedWhileClosed:
		// The problem line is the one log line.
		director.reportEndedWhileClosed();
		break;
	case RestartCase::DaysOld:
		moduleLog(LOG_INFO, "running show ignored: it ended %lld hours ago",
			  static_cast<long long>((now - show.endsAtWallMs) / 3600000));
		break;
	case RestartCase::TooFarAhead:
		moduleLog(LOG_WARNING, "running show ignored: its end lies more than a day ahead");
		break;
	case RestartCase::WrittenInFuture:
		moduleLog(LOG_WARNING, "running show ignored: it was written %lld s from now (the clock went back)",
			  static_cast<long long>((show.writtenAtWallMs - now + 999) / 1000));
		break;
	}
	storeRunningShow(RunningShow());
}

} // namespace

void resumeRunningShow()
{
	Director *director = directorInstance();
	if (!director)
		return;
	if (storedArmedShow().active)
		director->restoreArming(storedArmedShow());
	resumeCountdown(*director);
	// After the show's hold: a start that comes back obeys it.
	const StartedOutputs started = storedStartedOutputs();
	if (!started.active)
		return;
	if (startedOutputsOwed(started, wallNowMs())) {
		director->bringBackOutputs(started);
		return;
	}
	moduleLog(LOG_INFO, "what CurtainUp started before the crash (last kept %s) is not started again",
		  logClockTime(started.writtenAtWallMs).constData());
	storeStartedOutputs(StartedOutputs());
}

