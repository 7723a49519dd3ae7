// Picking the show up after OBS was restarted or crashed in the middle of a countdown.
#include "director/director.h"

#include "base/clock.h"
#include "base/module_host.h"
#include "settings/running_show.h"
#include "settings/started_outputs.h"

void Director::resumeShow(const RunningShow &show)
{
	if (show.phase == RunningPhase::Break)
		enterBreak(&show);
	else
		enterStandby(&show, 0, 0);
	if (show.held)
		hold(true, QStringLiteral("curtainup"), show.holdReason);
	// After the hold above: the dock says so until the operator's next action.
	resumedAfterRestart = true;
}

void Director::bringBackOutputs(const StartedOutputs &before)
{
	outputs.bringBack(before, held, monotonicNowMs());
}

void Director::reportEndedWhileClosed()
{
	reportProblem(moduleText("Problem.EndedWhileClosed"), true);
}

void Director::logResumed(const RunningShow &resumed) const
{
	const int64_t left = std::max<int64_t>(0, resumed.endsAtWallMs - wallNowMs());
	moduleLog(LOG_INFO, "countdown resumed after restart (%d s left)", static_cast<int>((left + 999) / 1000));
}
