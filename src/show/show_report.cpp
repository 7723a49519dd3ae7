#include "show/show_report.h"

#include "show/flow_status.h"
#include "show/show_state.h"

bool ShowReport::sameStateAs(const ShowReport &other) const
{
	return phase == other.phase && step == other.step && held == other.held && holdReason == other.holdReason &&
	       holdLocation == other.holdLocation && problem == other.problem;
}

ShowReport composeShowReport(const ShowSnapshot &snapshot, const FlowStatus &flow)
{
	ShowReport report;
	report.phase = snapshot.countdown.phase;
	report.step = flow.step;
	report.held = flow.held;
	report.holdReason = flow.holdReason;
	report.holdLocation = flow.holdLocation;
	report.counting = snapshot.counting();
	if (report.counting)
		report.remainingMs = report.phase == PhaseBreak ? snapshot.breakRemainingMs() : snapshot.remainingMs();
	report.preset = snapshot.preset.name;
	report.problem = flow.problem;
	return report;
}
