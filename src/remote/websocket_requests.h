#pragma once

#include <QString>

class Director;
struct obs_data;
typedef struct obs_data obs_data_t;
struct ShowReport;

// The requests of the "curtainup" obs-websocket vendor. A handler reads its fields from
// the request data and writes its answer into the response. It returns an empty text when
// it did what was asked, else a short English sentence saying why not; then it changed
// nothing. Readers answer at once on the caller's thread from the published show;
// actions run on the UI thread with the module's director.
struct WebsocketRequest {
	const char *type;
	// Exactly one of the two is set.
	QString (*read)(obs_data_t *request, obs_data_t *response);
	QString (*act)(Director &director, obs_data_t *request, obs_data_t *response);
};

// Every request of the vendor, by name.
const WebsocketRequest *websocketRequestsBegin();
const WebsocketRequest *websocketRequestsEnd();
// Runs a reader on any thread, or an action on the UI thread with the module's director
// (refused when there is none); after an action the director's flow is published again,
// so the next reader sees what it did.
QString runWebsocketRequest(const WebsocketRequest &entry, obs_data_t *request, obs_data_t *response);

// The GetState fields, also sent with every event of the vendor.
void writeShowReport(obs_data_t *data, const ShowReport &report);
