#pragma once

struct ShowReport;
struct ShowSnapshot;

// The "curtainup" vendor of the obs-websocket plug-in built into OBS: other tools call its
// requests (CallVendorRequest) and hear its events (VendorEvent).

// When the host finished loading; where obs-websocket is missing, logs one line.
void startWebsocketApi();
// On the host's exit: no request is taken any more, and the requests are unregistered.
void stopWebsocketApi();
// The show at one poll of the watch, for the vendor's events.
void websocketFollowShow(const ShowSnapshot &snapshot, const ShowReport &report);
