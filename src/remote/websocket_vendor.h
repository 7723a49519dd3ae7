#pragma once

#include <obs.h>

#include <string>
#include <vector>

// The few calls of obs-websocket 5's plug-in API that a vendor needs. That API is a
// procedure handler which obs-websocket hands out through the global procedure
// "obs_websocket_api_get_ph"; OBS's packages do not install its header, so the calls are
// made here. Shared by the module and the test plug-in that stands in for Cuebox.
class WebsocketVendor {
public:
	// Called by obs-websocket on one of its own threads for each request of this vendor.
	using RequestHandler = void (*)(obs_data_t *request, obs_data_t *response, void *priv);

	// Registers the vendor; call after the host finished loading. False when obs-websocket
	// is not there (or the name is taken).
	bool registerVendor(const char *vendorName);
	bool registered() const { return vendor != nullptr; }
	bool addRequest(const char *requestType, RequestHandler handler, void *priv = nullptr);
	// Unregisters every request added; obs-websocket keeps the vendor itself until it unloads.
	void removeRequests();
	// Sends "VendorEvent" with this vendor's name, the type and the data to every client
	// subscribed to vendor events. The data stays the caller's.
	bool emitEvent(const char *eventType, obs_data_t *eventData);

private:
	bool callWithVendor(const char *procName, calldata_t *data);

	proc_handler_t *api = nullptr;
	void *vendor = nullptr;
	std::vector<std::string> requestTypes;
};
