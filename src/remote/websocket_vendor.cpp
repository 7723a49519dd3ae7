#include "remote/websocket_vendor.h"

namespace {

// Layout obs-websocket copies out of the "callback" pointer of vendor_request_register.
struct RequestCallback {
	WebsocketVendor::RequestHandler handler;
	void *priv;
};

proc_handler_t *websocketApi()
{
	calldata_t data = {};
	proc_handler_call(obs_get_proc_handler(), "obs_websocket_api_get_ph", &data);
	auto *api = static_cast<proc_handler_t *>(calldata_ptr(&data, "ph"));
	calldata_free(&data);
	return api;
}

} // namespace

bool WebsocketVendor::registerVendor(const char *vendorName)
{
	api = websocketApi();
	if (!api)
		return false;

	calldata_t data = {};
	calldata_set_string(&data, "name", vendorName);
	proc_handler_call(api, "vendor_register", &data);
	vendor = calldata_ptr(&data, "vendor");
	calldata_free(&data);
	return vendor != nullptr;
}

bool WebsocketVendor::callWithVendor(const char *procName, calldata_t *data)
{
	if (!api || !vendor)
		return false;
	calldata_set_ptr(data, "vendor", vendor);
	proc_handler_call(api, procName, data);
	return calldata_bool(data, "success");
}

bool WebsocketVendor::addRequest(const char *requestType, RequestHandler handler, void *priv)
{
	RequestCallback callback = {handler, priv};
	calldata_t data = {};
	calldata_set_string(&data, "type", requestType);
	calldata_set_ptr(&data, "callback", &callback);
	bool added = callWithVendor("vendor_request_register", &data);
	calldata_free(&data);
	if (added)
		requestTypes.emplace_back(requestType);
	return added;
}

void WebsocketVendor::removeRequests()
{
	for (const std::string &type : requestTypes) {
		calldata_t data = {};
		calldata_set_string(&data, "type", type.c_str());
		callWithVendor("vendor_request_unregister", &data);
		calldata_free(&data);
	}
	requestTypes.clear();
}

bool WebsocketVendor::emitEvent(const char *eventType, obs_data_t *eventData)
{
	calldata_t data = {};
	calldata_set_string(&data, "type", eventType);
	calldata_set_ptr(&data, "data", eventData);
	const bool sent = callWithVendor("vendor_event_emit", &data);
	calldata_free(&data);
	return sent;
}
