#pragma once

#include <obs-frontend-api.h>

class StandbyDock;

// The module's answers to the host's front-end events and to the host saving its own
// settings. The registered callbacks only forward here, so tests run the very same steps.
void handleFrontendEvent(enum obs_frontend_event event, StandbyDock *dock);
// Whenever the host saves (not when it loads): the hotkey bindings go into the
// configuration, and the file is written when they changed, so a crash loses none.
void handleFrontendSave(bool saving);
