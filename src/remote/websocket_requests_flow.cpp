// Requests that act on the show, each the same operation as the dock's action, refused
// where the dock would not offer it.
#include "remote/websocket_request_handlers.h"

#include "base/data_fields.h"
#include "director/director.h"
#include "settings/preset_store.h"

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
	if (!fields.ok())
		return fields.error();

	settlePresetEdits();
	if (duration) {
		// As the dock's length fields do: a for-length countdown of that length, saved.
		Preset preset = currentPreset();
		preset.count_mode = 1;
		preset.duration_ms = *duration;
		updateCurrentPreset(preset);
	}
	director.startStandby();
	return QString();
}

QString requestGoMain(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::mainAllowed, "Going to the main scene is not possible now.",
		   &Director::skipToMain);
}

QString requestStartBreak(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::breakAllowed, "The break is already on its way back.",
		   &Director::toggleBreak);
}

QString requestStartEnding(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::endingAllowed, "The ending is already running.", &Director::startEnding);
}

QString requestCancel(Director &director, obs_data_t *, obs_data_t *)
{
	return act(director, &ActionRules::cancelAllowed, "Nothing to cancel.", &Director::cancel);
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
