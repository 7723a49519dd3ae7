// The table of the vendor's requests and what their handlers share.
#include "remote/websocket_requests.h"

#include "director/director.h"
#include "remote/published_show.h"
#include "remote/websocket_request_handlers.h"
#include "settings/config.h"
#include "show/show_state.h"

#include <iterator>

namespace {

constexpr WebsocketRequest requests[] = {
	{"GetState", requestGetState, nullptr},
	{"ListPresets", requestListPresets, nullptr},
	{"SelectPreset", nullptr, requestSelectPreset},
	{"StartStandby", nullptr, requestStartStandby},
	{"GoMain", nullptr, requestGoMain},
	{"StartBreak", nullptr, requestStartBreak},
	{"EndBreak", nullptr, requestEndBreak},
	{"ToggleBreak", nullptr, requestToggleBreak},
	{"StartEnding", nullptr, requestStartEnding},
	{"Cancel", nullptr, requestCancel},
	{"Hold", nullptr, requestHold},
	{"AddTime", nullptr, requestAddTime},
	{"Arm", nullptr, requestArm},
	{"Disarm", nullptr, requestDisarm},
	{"SetMessage", nullptr, requestSetMessage},
	{"ClearMessage", nullptr, requestClearMessage},
	{"CrewPage", nullptr, requestCrewPage},
	{"SetCrewPage", nullptr, requestSetCrewPage},
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
	if (entry.read)
		return entry.read(request, response);
	Director *director = directorInstance();
	if (!director)
		return QStringLiteral("CurtainUp is not running.");
	const QString error = entry.act(*director, request, response);
	director->publishFlow();
	publishSaveProblem(configSaveProblem());
	return error;
}

ActionRules currentActionRules(const Director &director)
{
	return actionRules(showState().phase(), director.flowStatus());
}
