#include "remote/websocket_api.h"

#include "base/module_alive.h"
#include "base/module_host.h"
#include "base/ui_handoff.h"
#include "remote/websocket_events.h"
#include "remote/websocket_requests.h"
#include "remote/websocket_vendor.h"

#include <obs-data.h>

#include <memory>

namespace {

constexpr char vendorName[] = "curtainup";

WebsocketVendor vendor;
// Never destroyed before the process ends: a request thread of obs-websocket may still be
// on its way in when the host exits.
UiHandOff handOff;
std::unique_ptr<WebsocketEvents> events;

// On one of obs-websocket's threads; the request itself runs on the UI thread.
void onRequest(obs_data_t *request, obs_data_t *response, void *priv)
{
	const auto *entry = static_cast<const WebsocketRequest *>(priv);
	QString error = QStringLiteral("OBS is closing.");
	handOff.run([&] {
		if (moduleAlive())
			error = runWebsocketRequest(*entry, request, response);
	});
	obs_data_set_bool(response, "ok", error.isEmpty());
	if (!error.isEmpty())
		obs_data_set_string(response, "error", error.toUtf8().constData());
}

} // namespace

void startWebsocketApi()
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
	events = std::make_unique<WebsocketEvents>(
		[](const char *type, obs_data_t *data) { vendor.emitEvent(type, data); });
	moduleLog(LOG_INFO, "obs-websocket vendor '%s' ready with %d requests", vendorName, added);
}

void stopWebsocketApi()
{
	handOff.close();
	vendor.removeRequests();
	events.reset();
}

void websocketFollowShow(const ShowSnapshot &snapshot, const ShowReport &report)
{
	if (events)
		events->follow(snapshot, report);
}
