// The entry points the host looks up by name, and the order in which loading and
// unloading bring the subsystems up and down.
#include "base/module_alive.h"
#include "base/module_host.h"
#include "director/director.h"
#include "dock/dock_director.h"
#include "dock/dock_registration.h"
#include "dock/obs_dock_host.h"
#include "dock/standby_dock.h"
#include "module/frontend_events.h"
#include "module/show_watch.h"
#include "module/source_rename.h"
#include "picture/preset_picture.h"
#include "remote/hotkeys.h"
#include "remote/procedures.h"
#include "remote/websocket_api.h"
#include "settings/config.h"
#include "show/show_state.h"
#include "source/countdown_source.h"

#include <obs-frontend-api.h>
#include <obs-module.h>

#include <QPointer>

namespace {

// Owned by the host's main window once added; the pointer clears itself if that goes first.
QPointer<StandbyDock> dock;

void onTick(void *, float)
{
	showState().tick();
}

void onFrontendEvent(enum obs_frontend_event event, void *)
{
	handleFrontendEvent(event, dock);
}

void onFrontendSave(obs_data_t *, bool saving, void *)
{
	handleFrontendSave(saving);
}

} // namespace

MODULE_EXPORT void obs_module_set_pointer(obs_module_t *module)
{
	setModulePointer(module);
}

MODULE_EXPORT uint32_t obs_module_ver(void)
{
	return LIBOBS_API_VER;
}

MODULE_EXPORT const char *obs_module_name(void)
{
	return "CurtainUp";
}

MODULE_EXPORT const char *obs_module_description(void)
{
	return "CurtainUp: a see-through countdown and the switches from standby to OP to the main scene";
}

MODULE_EXPORT void obs_module_set_locale(const char *locale)
{
	setModuleLocale(locale);
}

MODULE_EXPORT void obs_module_free_locale(void)
{
	freeModuleLocale();
}

MODULE_EXPORT bool obs_module_get_string(const char *key, const char **text)
{
	return moduleGetString(key, text);
}

MODULE_EXPORT bool obs_module_load(void)
{
	registerCountdownSource();
	showPresetChanges();
	loadConfig();
	obs_add_tick_callback(onTick, nullptr);
	addStateProcedure();
	createDirector();
	setModuleAlive(true);
	addFlowProcedures();
	registerHotkeys();
	connectRenameSignal(true);
	dock = new StandbyDock(makeObsDockHost(), makeModuleDirectorLink());
	if (!addDockToMainWindow(dock))
		delete dock; // the host did not take it
	obs_frontend_add_event_callback(onFrontendEvent, nullptr);
	obs_frontend_add_save_callback(onFrontendSave, nullptr);
	moduleLog(LOG_INFO, "plugin loaded successfully (version %s, build %s)", CURTAINUP_VERSION,
		  CURTAINUP_BUILD_TAG);
	return true;
}

MODULE_EXPORT void obs_module_post_load(void)
{
	registerWebsocketVendor();
}

MODULE_EXPORT void obs_module_unload(void)
{
	stopShowWatch();
	setModuleAlive(false);
	obs_remove_tick_callback(onTick, nullptr);
	obs_frontend_remove_save_callback(onFrontendSave, nullptr);
	connectRenameSignal(false);
	unregisterHotkeys();
	destroyDirector();
	releaseConfig();
	moduleLog(LOG_INFO, "plugin unloaded");
}
