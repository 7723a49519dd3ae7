// The entry points the host looks up by name, and the order in which loading and
// unloading bring the subsystems up and down.
#include "director/director.h"
#include "director/show_state.h"
#include "dock/dock_director.h"
#include "dock/obs_dock_host.h"
#include "dock/standby_dock.h"
#include "module/cuebox.h"
#include "module/dock_registration.h"
#include "module/hotkeys.h"
#include "module/module_alive.h"
#include "module/module_host.h"
#include "module/procedures.h"
#include "module/show_watch.h"
#include "module/source_rename.h"
#include "module/websocket_requests.h"
#include "settings/config.h"
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
	Director *director = directorInstance();
	switch (event) {
	case OBS_FRONTEND_EVENT_STREAMING_STOPPED:
		if (director)
			director->onStreamingStopped();
		break;
	case OBS_FRONTEND_EVENT_EXIT:
		stopShowWatch();
		setModuleAlive(false);
		if (director)
			director->shutdown();
		connectRenameSignal(false);
		saveHotkeys();
		unregisterHotkeys();
		saveConfig();
		break;
	case OBS_FRONTEND_EVENT_SCENE_LIST_CHANGED:
	case OBS_FRONTEND_EVENT_TRANSITION_LIST_CHANGED:
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED:
		if (dock)
			dock->refreshHostLists();
		break;
	case OBS_FRONTEND_EVENT_FINISHED_LOADING:
		probeCuebox();
		attachDockOnce(dock);
		if (dock)
			dock->refreshHostLists();
		startShowWatch();
		break;
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGING:
		if (director)
			director->onCollectionChanging();
		break;
	default:
		break;
	}
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
	const auto reloadDock = [] {
		if (dock)
			dock->reloadFromPresets();
	};
	setRenameFollower(reloadDock);
	setRequestDockLink(
		[] {
			if (dock)
				dock->flushTexts();
		},
		reloadDock);
	obs_frontend_add_event_callback(onFrontendEvent, nullptr);
	moduleLog(LOG_INFO, "plugin loaded successfully (version %s, build %s)", CURTAINUP_VERSION,
		  CURTAINUP_BUILD_TAG);
	return true;
}

MODULE_EXPORT void obs_module_unload(void)
{
	stopShowWatch();
	setModuleAlive(false);
	obs_remove_tick_callback(onTick, nullptr);
	connectRenameSignal(false);
	unregisterHotkeys();
	destroyDirector();
	releaseConfig();
	moduleLog(LOG_INFO, "plugin unloaded");
}
