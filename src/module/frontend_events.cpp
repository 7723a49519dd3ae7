#include "module/frontend_events.h"

#include "base/module_alive.h"
#include "director/cuebox.h"
#include "director/director.h"
#include "dock/dock_events.h"
#include "module/show_watch.h"
#include "module/source_rename.h"
#include "remote/hotkeys.h"
#include "settings/config.h"

void handleFrontendEvent(enum obs_frontend_event event, StandbyDock *dock)
{
	// The dock goes first: at exit its waiting text reaches the preset before it is saved.
	dockFollowFrontendEvent(event, dock);
	Director *director = directorInstance();
	switch (event) {
	case OBS_FRONTEND_EVENT_STREAMING_STARTED:
		if (director)
			director->onStreamingStarted();
		break;
	case OBS_FRONTEND_EVENT_STREAMING_STOPPED:
		if (director)
			director->onStreamingStopped();
		break;
	case OBS_FRONTEND_EVENT_RECORDING_STOPPED:
		if (director)
			director->onRecordingStopped();
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
	case OBS_FRONTEND_EVENT_FINISHED_LOADING:
		probeCuebox();
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

void handleFrontendSave(bool saving)
{
	if (saving && saveHotkeys())
		saveConfig();
}
