#include "remote/websocket_api.h"

#include "base/module_alive.h"
#include "base/module_host.h"
#include "base/ui_handoff.h"
#include "remote/published_show.h"
#include "remote/websocket_events.h"
#include "remote/websocket_requests.h"
#include "remote/websocket_vendor.h"
#include "settings/config.h"
#include "settings/preset_store.h"

#include <obs-data.h>

#include <atomic>
#include <memory>

namespace {

constexpr char vendorName[] = "curtainup";

WebsocketVendor vendor;
// Never destroyed before the process ends: a request thread of obs-websocket may still be
// on its way in when the host exits.
UiHandOff handOff;
std::unique_ptr<WebsocketEvents> events;
std::atomic<bool> answering{false};
int presetListener = 0;

QString runOnUiThread(const WebsocketRequest &entry, obs_data_t *request, obs_data_t *response)
{
	const QString closing = QStringLiteral("OBS is closing.");
	QString error;
	switch (handOff.run([&] { error = moduleAlive() ? runWebsocketRequest(entry, request, response) : closing; })) {
	case UiHandOff::Outcome::Ran:
		return error;
	case UiHandOff::Outcome::TimedOut:
		// The action was dropped before it began: it will not run later either.
		return QStringLiteral("OBS is busy; nothing was done.");
	case UiHandOff::Outcome::Closed:
		break;
	}
	return closing;
}

QString answerRequest(const WebsocketRequest &entry, obs_data_t *request, obs_data_t *response)
{
	if (!answering)
		return moduleAlive() ? QStringLiteral("OBS is still loading.") : QStringLiteral("OBS is closing.");
	if (entry.read)
		return runWebsocketRequest(entry, request, response);
	if (onGraphicsThread())
		// A "SerialFrame" request batch runs on OBS's graphics thread with the video's lock
		// held: waiting there for the UI thread would stop the video, or worse.
		return QStringLiteral("Actions cannot run in a SerialFrame batch (OBS's graphics thread); nothing was done.");
	return runOnUiThread(entry, request, response);
}

// On one of obs-websocket's threads.
void onRequest(obs_data_t *request, obs_data_t *response, void *priv)
{
	const QString error = answerRequest(*static_cast<const WebsocketRequest *>(priv), request, response);
	obs_data_set_bool(response, "ok", error.isEmpty());
	if (!error.isEmpty())
		obs_data_set_string(response, "error", error.toUtf8().constData());
}

} // namespace

void registerWebsocketVendor()
{
	if (!vendor.registerVendor(vendorName)) {
		moduleLog(LOG_INFO, "obs-websocket is not there: no remote control");
		return;
	}
	int added = 0;
	for (const WebsocketRequest *entry = websocketRequestsBegin(); entry != websocketRequestsEnd(); ++entry) {
		if (vendor.addRequest(entry->type, onRequest, const_cast<WebsocketRequest *>(entry)))
			++added;
		else
			moduleLog(LOG_WARNING, "obs-websocket refused the request '%s'", entry->type);
	}
	publishPresetList();
	presetListener = addPresetListener([](PresetEvent event) {
		if (event == PresetEvent::Changed)
			publishPresetList();
	});
	moduleLog(LOG_INFO, "obs-websocket vendor '%s' ready with %d requests", vendorName, added);
}

void startWebsocketApi()
{
	if (!vendor.registered() || events)
		return;
	events = std::make_unique<WebsocketEvents>(
		[](const char *type, obs_data_t *data) { vendor.emitEvent(type, data); });
	answering = true;
}

void stopWebsocketApi()
{
	answering = false;
	handOff.close();
	vendor.removeRequests();
	events.reset();
	removePresetListener(presetListener);
	presetListener = 0;
}

QString callVendorRequest(const char *type, obs_data_t *request, obs_data_t *response)
{
	for (const WebsocketRequest *entry = websocketRequestsBegin(); entry != websocketRequestsEnd(); ++entry)
		if (qstrcmp(entry->type, type) == 0)
			return answerRequest(*entry, request, response);
	return QStringLiteral("No request is named '%1'.").arg(QString::fromUtf8(type));
}

void websocketFollowShow(const ShowSnapshot &snapshot, const FlowStatus &flow)
{
	const QString saveProblem = configSaveProblem();
	publishSaveProblem(saveProblem);
	if (events)
		events->follow(snapshot, flow, saveProblem);
}
