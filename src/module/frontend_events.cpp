#include "module/frontend_events.h"

#include "director/director.h"
#include "dock/standby_dock.h"
#include "module/cuebox.h"
#include "module/dock_registration.h"
#include "module/hotkeys.h"
#include "module/module_alive.h"
#include "module/show_watch.h"
#include "module/source_rename.h"
#include "settings/config.h"

void handleFrontendEvent(enum obs_frontend_event event, StandbyDock *dock)
{
	Director *director = directorInstance();
	switch (event) {
	case OBS_FRONTEND_EVENT_STREAMING_STOPPED:
		if (director)
			director->onStreamingStopped();
		break;
	case OBS_FRONTEND_EVENT_EXIT:
		// Text typed in the last moments before the close is still waiting for its pause.
		if (dock)
			dock->flushTexts();
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

void handleFrontendSave(bool saving)
{
	if (saving && saveHotkeys())
		saveConfig();
}
