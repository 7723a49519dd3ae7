#pragma once

#include <obs-frontend-api.h>

class StandbyDock;

// The module's answers to the host's front-end events. The registered callback only
// forwards here, so tests run the very same steps.
void handleFrontendEvent(enum obs_frontend_event event, StandbyDock *dock);
