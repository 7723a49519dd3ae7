#pragma once

#include <QString>

class Director;
struct obs_data;
typedef struct obs_data obs_data_t;
struct ShowReport;

// The requests of the "curtainup" obs-websocket vendor. A handler runs on the UI thread,
// reads its fields from the request data and writes its answer into the response. It
// returns an empty text when it did what was asked, else a short English sentence saying
// why not; then it changed nothing.
using WebsocketRequestHandler = QString (*)(Director &director, obs_data_t *request, obs_data_t *response);

struct WebsocketRequest {
	const char *type;
	WebsocketRequestHandler handler;
};

// Every request of the vendor, by name.
const WebsocketRequest *websocketRequestsBegin();
const WebsocketRequest *websocketRequestsEnd();
// Runs one on the UI thread with the module's director; refused when there is none.
QString runWebsocketRequest(const WebsocketRequest &entry, obs_data_t *request, obs_data_t *response);

// The GetState fields, also sent with the vendor's events.
void writeShowReport(obs_data_t *data, const ShowReport &report);
