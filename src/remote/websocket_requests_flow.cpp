// Requests that act on the show, each the same operation as the dock's, refused where the
// dock would not offer it. A Start request sent again does what one does: it is refused
// while what it starts is running.
#include "remote/websocket_request_handlers.h"

#include "base/data_fields.h"
#include "director/director.h"
#include "settings/preset.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <obs-data.h>

#include <limits>

namespace {

// Runs the operator action when the dock's rule for its button allows it.
QString act(Director &director, bool ActionRules::*allowed, const char *refusal, void (Director::*action)())
{
	if (!(currentActionRules(director).*allowed))
		return QString::fromUtf8(refusal);
	settlePresetEdits();
	(director.*action)();
	return QString();
}

} // namespace

QString requestStartStandby(Director &director, obs_data_t *request, obs_data_t *)
{
	DataFields fields(request);
	const std::optional<int64_t> duration =
		fields.integer("duration_ms", PresetBounds::minCountMs, PresetBounds::maxCountMs, DataFields::Optional);
	const bool restart = fields.boolean("restart", DataFields::Optional).value_or(false);
	if (!fields.ok())
		return fields.error();
	if (!restart && director.flowStatus().armed)
		return QStringLiteral("A show is armed; disarm it, or send \"restart\": true to start the standby now.");
	if (!restart && !currentActionRules(director).showIdle)
		return QStringLiteral("A show is running; send \"restart\": true to start the standby again.");

	settlePresetEdits();
	if (duration)
		director.startStandbyFor(*duration);
	else
		director.startStandby();
	return QString();
}

QString requestGoMain(Director &director, obs_data_t *, obs_data_t *)
{
	// Already there or on its way: a request sent again changes nothing.
	if (currentActionRules(director).mainReached)
		return QString();
	return act(director, &ActionRules::mainAllowed, "Going to the main scene is not possible now.",
		   &Director::skipToMain);
}

QString requestStartBreak(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::startBreakAllowed, "Already in a break.", &Director::startBreak);
}

QString requestEndBreak(Director &director, obs_data_t *, obs_data_t *)
{
	// Sent again while the way back is under way, it leaves that as it is.
	return act(director, &ActionRules::endBreakAllowed, "Not in a break.", &Director::endBreak);
}

QString requestToggleBreak(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::breakAllowed, "The break is already on its way back.",
		   &Director::toggleBreak);
}

QString requestStartEnding(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::endingAllowed, "Already ending.", &Director::startEnding);
}

QString requestCancel(Director &director, obs_data_t *, obs_data_t *)
{
	// Always answered ok: with nothing running or waiting there is nothing to stop.
	act(director, &ActionRules::cancelActs, "", &Director::cancel);
	return QString();
}

QString requestHold(Director &director, obs_data_t *request, obs_data_t *)
{
	DataFields fields(request);
	const std::optional<bool> on = fields.boolean("on");
	const QString from = fields.text("from");
	const QString reason = fields.text("reason", DataFields::Optional);
	if (!fields.ok())
		return fields.error();

	settlePresetEdits();
	// The director refuses a resume that no person asked for, and logs it.
	director.hold(*on, from, reason);
	if (!*on && !isPersonSender(from))
		return QStringLiteral("Only a person may resume: 'from' is empty or begins with \"auto\".");
	return QString();
}

QString requestArm(Director &director, obs_data_t *request, obs_data_t *response)
{
	DataFields fields(request);
	ArmRequest arm;
	arm.showAtWallMs = fields.integer("at_ms", 1, std::numeric_limits<int64_t>::max(), DataFields::Optional);
	arm.leadMs = fields.integer("lead_ms", 0, int64_t(PresetBounds::maxGoLiveLeadS) * 1000, DataFields::Optional);
	if (!fields.ok())
		return fields.error();
	settlePresetEdits();
	const ArmPlan plan = director.arm(arm);
	if (!plan.refusal.isEmpty())
		return plan.refusal;
	obs_data_set_int(response, "go_live_at_ms", plan.goLiveAtWallMs);
	obs_data_set_int(response, "show_at_ms", plan.showAtWallMs);
	return QString();
}

QString requestDisarm(Director &director, obs_data_t *, obs_data_t *)
{
	director.disarm();
	return QString();
}

QString requestAddTime(Director &director, obs_data_t *request, obs_data_t *response)
{
	DataFields fields(request);
	const std::optional<int64_t> ms =
		fields.integer("ms", std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
	if (!fields.ok())
		return fields.error();

	const int64_t left = director.addTime(*ms);
	if (left < 0)
		return QStringLiteral("No countdown is running.");
	obs_data_set_int(response, "remaining_ms", left);
	return QString();
}
