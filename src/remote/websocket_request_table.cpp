// The table of the vendor's requests and what their handlers share.
#include "remote/websocket_request_handlers.h"
#include "remote/websocket_requests.h"

#include "director/director.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <iterator>

namespace {

constexpr WebsocketRequest requests[] = {
	{"GetState", requestGetState},
	{"ListPresets", requestListPresets},
	{"SelectPreset", requestSelectPreset},
	{"StartStandby", requestStartStandby},
	{"GoMain", requestGoMain},
	{"StartBreak", requestStartBreak},
	{"StartEnding", requestStartEnding},
	{"Cancel", requestCancel},
	{"Hold", requestHold},
	{"AddTime", requestAddTime},
};

} // namespace

const WebsocketRequest *websocketRequestsBegin()
{
	return std::begin(requests);
}

const WebsocketRequest *websocketRequestsEnd()
{
	return std::end(requests);
}

QString runWebsocketRequest(const WebsocketRequest &entry, obs_data_t *request, obs_data_t *response)
{
	Director *director = directorInstance();
	return director ? entry.handler(*director, request, response) : QStringLiteral("CurtainUp is not running.");
}

ActionRules currentActionRules(const Director &director)
{
	return actionRules(showState().phase(), director.flowStatus());
}

ShowReport currentShowReport(const Director &director)
{
	return composeShowReport(showState().snapshot(), director.flowStatus());
}
