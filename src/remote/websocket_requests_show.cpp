// Requests that read the show and choose the preset.
#include "remote/published_show.h"
#include "remote/websocket_request_handlers.h"
#include "remote/websocket_requests.h"

#include "base/data_fields.h"
#include "picture/clock_text.h"
#include "settings/preset_store.h"
#include "show/flow_step.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <obs.hpp>

namespace {

void setText(obs_data_t *data, const char *name, const QString &text)
{
	obs_data_set_string(data, name, text.toUtf8().constData());
}

} // namespace

void writeShowReport(obs_data_t *data, const ShowReport &report)
{
	obs_data_set_string(data, "phase", phaseName(report.phase));
	obs_data_set_string(data, "step", stepName(report.step));
	obs_data_set_bool(data, "held", report.held);
	// Texts as well as the flag and the count: a control surface's stock feedback compares
	// an event's value with a text.
	obs_data_set_string(data, "hold", report.held ? "held" : "free");
	setText(data, "hold_reason", report.holdReason);
	setText(data, "hold_location", report.holdLocation);
	obs_data_set_bool(data, "counting", report.counting);
	obs_data_set_int(data, "remaining_ms", report.remainingMs);
	setText(data, "time_left", report.remainingMs >= 0 ? formatClock(report.remainingMs, false) : QString());
	setText(data, "preset", report.preset);
	setText(data, "problem", report.problem);
	obs_data_set_bool(data, "armed", report.armed);
	obs_data_set_int(data, "go_live_at_ms", report.goLiveAtWallMs);
	obs_data_set_int(data, "show_at_ms", report.showAtWallMs);
	setText(data, "message", report.message);
	obs_data_set_bool(data, "message_blink", report.messageBlink);
}

QString requestGetState(obs_data_t *, obs_data_t *response)
{
	writeShowReport(response, currentShowReport());
	return QString();
}

QString requestListPresets(obs_data_t *, obs_data_t *response)
{
	const PublishedShow show = publishedShow();
	// Data arrays hold objects only, so each name comes in one.
	OBSDataArrayAutoRelease names = obs_data_array_create();
	for (const QString &name : show.presets) {
		OBSDataAutoRelease entry = obs_data_create();
		setText(entry, "name", name);
		obs_data_array_push_back(names, entry);
	}
	obs_data_set_array(response, "presets", names);
	setText(response, "current", show.currentPreset);
	return QString();
}

QString requestSelectPreset(Director &director, obs_data_t *request, obs_data_t *)
{
	DataFields fields(request);
	const QString name = fields.text("name");
	if (!fields.ok())
		return fields.error();
	if (!currentActionRules(director).presetsUnlocked)
		return QStringLiteral("Presets are locked while the show runs.");
	const int index = findPreset(name);
	if (index < 0)
		return QStringLiteral("No preset is named '%1'.").arg(name);

	settlePresetEdits();
	selectPreset(index);
	return QString();
}
