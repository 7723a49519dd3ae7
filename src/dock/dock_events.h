#pragma once

#include <obs-frontend-api.h>

class StandbyDock;

// The dock's part of the host's front-end events: placed the first time the host has
// loaded, its lists refilled when the host's scenes, transitions or collection change,
// and text still waiting for its pause written before the host closes. The dock may be
// gone (null).
void dockFollowFrontendEvent(enum obs_frontend_event event, StandbyDock *dock);
