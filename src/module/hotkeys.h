#pragma once

// The frontend hotkeys: the six actions and a minute more or less on the countdown. Their
// bindings live in the configuration's hotkey data: loaded when they are registered,
// stored there on exit.
void registerHotkeys();
void saveHotkeys();
void unregisterHotkeys();
