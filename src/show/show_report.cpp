#include "show/show_report.h"

#include "show/flow_status.h"
#include "show/show_state.h"

#include "settings/presenter_message.h"

bool ShowReport::sameStateAs(const ShowReport &other) const
{
	return phase == other.phase && step == other.step && held == other.held && holdReason == other.holdReason &&
	       holdLocation == other.holdLocation && preset == other.preset && problem == other.problem &&
	       armed == other.armed && goLiveAtWallMs == other.goLiveAtWallMs && showAtWallMs == other.showAtWallMs &&
	       message == other.message && messageBlink == other.messageBlink;
}

QString joinedProblems(const QString &flowProblem, const QString &saveProblem)
{
	if (flowProblem.isEmpty() || saveProblem.isEmpty())
		return flowProblem + saveProblem;
	return flowProblem + QLatin1Char('\n') + saveProblem;
}

ShowReport composeShowReport(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &saveProblem)
{
	ShowReport report;
	// On its way to the main scene, the show is past its opening: it reads "main".
	const bool onMain = snapshot.countdown.phase == PhaseIdle && (flow.onMain || flow.step == StepGoingMain);
	report.phase = onMain ? PhaseMain : snapshot.countdown.phase;
	report.step = flow.step;
	report.held = flow.held;
	report.holdReason = flow.holdReason;
	report.holdLocation = flow.holdLocation;
	report.counting = snapshot.counting();
	if (report.counting)
		report.remainingMs = report.phase == PhaseBreak ? snapshot.breakRemainingMs() : snapshot.remainingMs();
	report.preset = snapshot.preset.name;
	report.problem = joinedProblems(flow.problem, saveProblem);
	report.armed = flow.armed;
	report.goLiveAtWallMs = flow.goLiveAtWallMs;
	report.showAtWallMs = flow.showAtWallMs;
	const PresenterMessage message = presenterMessage();
	report.message = message.text;
	report.messageBlink = message.blink;
	return report;
}
