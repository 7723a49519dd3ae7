/* A small module that stands in for the Cuebox plug-in in end-to-end tests: it offers
 * Cuebox's three procedures and records every call, and it gives tests obs-websocket
 * vendor requests to act inside OBS as another plug-in would. */

#include "call_record.h"
#include "host_requests.h"
#include "remote/websocket_vendor.h"
#include "proc_requests.h"
#include "widget_requests.h"

#include <obs-frontend-api.h>
#include <obs-module.h>
#include <obs.hpp>

#include <mutex>
#include <string>

OBS_DECLARE_MODULE()

namespace {

const char *const vendorName = "cuebox-standin";

std::mutex phaseMutex;
std::string lastPhase = "idle";
WebsocketVendor vendor;

void copyString(calldata_t *data, const char *name, obs_data_t *args)
{
	const char *value = nullptr;
	if (calldata_get_string(data, name, &value))
		obs_data_set_string(args, name, value ? value : "");
}

void copyBool(calldata_t *data, const char *name, obs_data_t *args)
{
	bool value = false;
	if (calldata_get_bool(data, name, &value))
		obs_data_set_bool(args, name, value);
}

/* Answers with the last phase it was told, so a caller sees its own reports. */
void cueboxGetState(void *, calldata_t *data)
{
	OBSDataAutoRelease args = obs_data_create();
	recordCall("cuebox_get_state", args);

	std::lock_guard<std::mutex> lock(phaseMutex);
	calldata_set_string(data, "state", lastPhase.c_str());
}

void cueboxSetPhase(void *, calldata_t *data)
{
	OBSDataAutoRelease args = obs_data_create();
	copyString(data, "tool", args);
	copyString(data, "phase", args);
	recordCall("cuebox_set_phase", args);

	std::lock_guard<std::mutex> lock(phaseMutex);
	lastPhase = obs_data_get_string(args, "phase");
}

void cueboxHold(void *, calldata_t *data)
{
	OBSDataAutoRelease args = obs_data_create();
	copyBool(data, "on", args);
	copyString(data, "from", args);
	copyString(data, "reason", args);
	recordCall("cuebox_hold", args);
}

void registerVendorRequests()
{
	if (!vendor.registerVendor(vendorName)) {
		blog(LOG_WARNING, "[cuebox-standin] obs-websocket is not there: no vendor requests");
		return;
	}
	bool added = vendor.addRequest("call_proc", callProcRequest) && vendor.addRequest("records", recordsRequest) &&
		     vendor.addRequest("click", clickRequest) && vendor.addRequest("widget_text", widgetTextRequest) &&
		     vendor.addRequest("bind_hotkey", bindHotkeyRequest) &&
		     vendor.addRequest("save_settings", saveSettingsRequest) &&
		     vendor.addRequest("block_ui", blockUiRequest);
	if (added)
		blog(LOG_INFO, "[cuebox-standin] vendor requests registered");
	else
		blog(LOG_WARNING, "[cuebox-standin] could not register every vendor request");
}

void onFrontendEvent(enum obs_frontend_event event, void *)
{
	if (event == OBS_FRONTEND_EVENT_FINISHED_LOADING) {
		registerVendorRequests();
	} else if (event == OBS_FRONTEND_EVENT_EXIT) {
		vendor.removeRequests();
		blog(LOG_INFO, "[cuebox-standin] vendor requests removed");
	}
}

} // namespace

MODULE_EXPORT const char *obs_module_description(void)
{
	return "Stands in for the Cuebox plug-in in end-to-end tests";
}

bool obs_module_load(void)
{
	proc_handler_t *procs = obs_get_proc_handler();
	proc_handler_add(procs, "void cuebox_get_state(out string state)", cueboxGetState, nullptr);
	proc_handler_add(procs, "void cuebox_set_phase(in string tool, in string phase)", cueboxSetPhase, nullptr);
	proc_handler_add(procs, "void cuebox_hold(in bool on, in string from, in string reason)", cueboxHold, nullptr);
	obs_frontend_add_event_callback(onFrontendEvent, nullptr);
	blog(LOG_INFO, "[cuebox-standin] loaded");
	return true;
}

void obs_module_unload(void)
{
	obs_frontend_remove_event_callback(onFrontendEvent, nullptr);
	blog(LOG_INFO, "[cuebox-standin] unloaded");
}
