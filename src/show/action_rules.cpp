#include "show/action_rules.h"

#include "show/flow_status.h"
#include "show/show_state.h"

ActionRules actionRules(int phase, const FlowStatus &flow)
{
	// A hold keeps a switch waiting that the operator may still want to push on.
	const bool heldSwitchWaiting = flow.held && flow.waitingForResume;
	const bool idle = phase == PhaseIdle && flow.step == StepNone;
	ActionRules rules;
	rules.mainAllowed =
		phase == PhaseStandby || phase == PhaseOp || (heldSwitchWaiting && flow.step == StepGoingMain);
	rules.mainReached = phase == PhaseIdle && !heldSwitchWaiting &&
			    ((flow.onMain && flow.step == StepNone) || flow.step == StepGoingMain);
	rules.breakAllowed = !(phase == PhaseBreak && flow.step == StepBackFromBreak && !heldSwitchWaiting);
	rules.startBreakAllowed = phase != PhaseBreak;
	rules.endBreakAllowed = phase == PhaseBreak;
	rules.endingAllowed = phase != PhaseEnding;
	rules.cancelAllowed = !idle;
	rules.presetsUnlocked = idle && !flow.armed;
	rules.showIdle = idle && !flow.onMain && !flow.armed;
	rules.cancelActs = rules.cancelAllowed || !rules.showIdle;
	rules.armAllowed = rules.showIdle;
	return rules;
}

bool isPersonSender(const QString &from)
{
	const QString sender = from.trimmed();
	return !sender.isEmpty() && !sender.startsWith(QLatin1String("auto"));
}
