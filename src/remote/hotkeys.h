#pragma once

// The frontend hotkeys: the six actions and a minute more or less on the countdown. Their
// bindings live in the configuration's hotkey data: loaded when they are registered,
// stored there when the host saves and on exit.
void registerHotkeys();
// True when a binding differs from the one stored before.
bool saveHotkeys();
void unregisterHotkeys();
