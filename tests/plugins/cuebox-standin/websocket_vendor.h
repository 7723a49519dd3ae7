#pragma once

#include <obs.h>

#include <string>
#include <vector>

/* The few calls of obs-websocket 5's plug-in API that the stand-in needs. That API is a
 * procedure handler which obs-websocket hands out through the global procedure
 * "obs_websocket_api_get_ph"; its header is not installed, so the calls are made here. */
class WebsocketVendor {
public:
	/* Called by obs-websocket on one of its own threads for each request of this vendor. */
	using RequestHandler = void (*)(obs_data_t *request, obs_data_t *response, void *priv);

	/* Registers the vendor; call after the host finished loading. */
	bool registerVendor(const char *vendorName);
	bool addRequest(const char *requestType, RequestHandler handler, void *priv = nullptr);
	/* Unregisters every request added; obs-websocket keeps the vendor itself until it unloads. */
	void removeRequests();

private:
	bool callWithVendor(const char *procName, calldata_t *data);

	proc_handler_t *api = nullptr;
	void *vendor = nullptr;
	std::vector<std::string> requestTypes;
};
