#include "dock/dock_events.h"

#include "dock/dock_registration.h"
#include "dock/standby_dock.h"

void dockFollowFrontendEvent(enum obs_frontend_event event, StandbyDock *dock)
{
	if (!dock)
		return;
	switch (event) {
	case OBS_FRONTEND_EVENT_EXIT:
		// Text typed in the last moments before the close is still waiting for its pause.
		dock->flushTexts();
		break;
	case OBS_FRONTEND_EVENT_FINISHED_LOADING:
		attachDockOnce(dock);
		dock->refreshHostLists();
		break;
	case OBS_FRONTEND_EVENT_SCENE_LIST_CHANGED:
	case OBS_FRONTEND_EVENT_TRANSITION_LIST_CHANGED:
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED:
		dock->refreshHostLists();
		break;
	default:
		break;
	}
}
