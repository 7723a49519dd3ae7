#pragma once

#include <QString>

struct FlowStatus;
struct ShowSnapshot;
struct obs_data;
typedef struct obs_data obs_data_t;

// The "curtainup" vendor of the obs-websocket plug-in built into OBS: other tools call its
// requests (CallVendorRequest) and hear its events (VendorEvent).

// Once every module has loaded (obs_module_post_load), so the vendor exists as soon as
// obs-websocket answers: registers it and its requests, which answer "OBS is still
// loading" until startWebsocketApi. Where obs-websocket is missing, logs one line.
void registerWebsocketVendor();
// When the host finished loading: requests are answered and events sent.
void startWebsocketApi();
// On the host's exit: no request is taken any more, and the requests are unregistered.
void stopWebsocketApi();
// Answers one of the vendor's requests by name as obs-websocket's callers are answered,
// on a thread of the caller's that is neither the UI thread nor the graphics thread: an
// action waits for the UI thread within the hand-off's bound. The refusal, empty when done.
QString callVendorRequest(const char *type, obs_data_t *request, obs_data_t *response);
// The show at one poll of the watch (UI thread): the flow is published for the readers,
// and the events follow the show.
void websocketFollowShow(const ShowSnapshot &snapshot, const FlowStatus &flow);
