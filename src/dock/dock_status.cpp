#include "dock/dock_status.h"

#include "base/module_host.h"
#include "director/arming.h"
#include "director/director.h"
#include "picture/clock_text.h"
#include "show/action_rules.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <algorithm>

namespace {

// Whole seconds from now until a deadline, rounded up, never below 0.
int secondsUntil(int64_t deadline, int64_t now)
{
	const int64_t left = std::max<int64_t>(0, deadline - now);
	return static_cast<int>((left + 999) / 1000);
}

void composeLines(DockStatus &status, const ShowSnapshot &snapshot, const FlowStatus &flow)
{
	const int64_t now = snapshot.nowMono;
	switch (snapshot.countdown.phase) {
	case PhaseStandby:
		status.large = moduleText("Count.Left").arg(formatClock(snapshot.remainingMs(), true));
		if (flow.step == StepAfterZero)
			status.detail = moduleText(flow.hasOpScene ? "State.AfterZeroOp" : "State.AfterZeroMain")
						.arg(secondsUntil(flow.afterZeroDeadline, now));
		else
			status.detail = moduleText("State.Standby");
		break;
	case PhaseOp:
		status.large = QStringLiteral("OP");
		status.detail = moduleText(flow.step == StepOpNoMedia ? "State.OpNoMedia" : "State.Op");
		break;
	case PhaseBreak:
		status.large = moduleText("Count.Left").arg(formatClock(snapshot.breakRemainingMs(), false));
		status.detail = moduleText(flow.step == StepBackFromBreak ? "State.BackFromBreak" : "State.Break");
		break;
	case PhaseEnding:
		status.large = moduleText("Act.Ending");
		status.detail = moduleText("State.Ending");
		if (flow.stopStreamAt != 0)
			status.detail += QLatin1Char('\n') +
					 moduleText("State.StopIn").arg(secondsUntil(flow.stopStreamAt, now));
		break;
	default:
		status.large = formatClock(snapshot.remainingMs(), true);
		status.detail = moduleText(flow.step == StepGoingMain ? "State.GoingMain" : "State.Idle");
		break;
	}
	if (flow.armed)
		status.detail = moduleText("State.Armed")
					.arg(shortClockTime(flow.goLiveAtWallMs, snapshot.nowWall),
					     shortClockTime(flow.showAtWallMs, snapshot.nowWall));
	if (flow.held) {
		status.large = moduleText("State.Held");
		status.detail = moduleText(flow.holdLocation);
		if (!flow.holdReason.isEmpty())
			status.detail += QLatin1Char('\n') + flow.holdReason;
	}
	if (flow.resumedAfterRestart)
		status.detail += QLatin1Char('\n') + moduleText("State.ResumedAfterRestart");
	status.timeAdjustable = snapshot.counting();
}

void composeArm(DockStatus &status, const ShowSnapshot &snapshot, const FlowStatus &flow, const ActionRules &rules)
{
	status.armText = moduleText(flow.armed ? "Act.Disarm" : "Act.Arm");
	const bool untilTime = snapshot.preset.count_mode == 0;
	status.armEnabled = flow.armed || (rules.armAllowed && untilTime);
	if (!status.armEnabled)
		status.armTip = moduleText(untilTime ? "Arm.ShowRuns" : "Arm.NeedsUntilTime");
}

void composeActions(DockStatus &status, int phase, const FlowStatus &flow)
{
	const ActionRules rules = actionRules(phase, flow);
	status.standbyText = moduleText(phase == PhaseStandby ? "Act.Restart" : "Act.Standby");
	status.mainEnabled = rules.mainAllowed;
	status.breakText = moduleText(phase == PhaseBreak ? "Act.Back" : "Act.Break");
	status.breakEnabled = rules.breakAllowed;
	status.endingEnabled = rules.endingAllowed;
	status.cancelEnabled = rules.cancelAllowed;
	status.held = flow.held;
	status.holdText = moduleText(flow.held ? "Act.Resume" : "Act.Hold");
	status.presetsUnlocked = rules.presetsUnlocked;
}

} // namespace

DockStatus composeDockStatus(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &saveProblem)
{
	DockStatus status;
	composeLines(status, snapshot, flow);
	status.problem = joinedProblems(flow.problem, saveProblem);
	composeActions(status, snapshot.countdown.phase, flow);
	composeArm(status, snapshot, flow, actionRules(snapshot.countdown.phase, flow));
	return status;
}
