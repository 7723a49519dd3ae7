#pragma once

// The six frontend hotkeys. Their bindings live in the configuration's hotkey data:
// loaded when they are registered, stored there on exit.
void registerHotkeys();
void saveHotkeys();
void unregisterHotkeys();
