#pragma once

// Watches the show on the UI thread from the end of loading to the host's exit: keeps the
// running countdown's record in "config.json", and publishes the flow for the
// obs-websocket vendor's answers and events.

// When the host finished loading: picks up a show from before a restart, starts the
// obs-websocket vendor where it can, and starts watching.
void startShowWatch();
// On the host's exit (and at unload): stops watching, so nothing the exit does to the
// show reaches the record, and stops the vendor.
void stopShowWatch();
