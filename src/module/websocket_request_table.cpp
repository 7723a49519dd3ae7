// The table of the vendor's requests and what their handlers share.
#include "module/websocket_request_support.h"
#include "module/websocket_requests.h"
#include "module/websocket_request_handlers.h"

#include "director/director.h"
#include "director/show_report.h"
#include "director/show_state.h"

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

std::function<void()> dockFlushTexts;
std::function<void()> dockPresetsChanged;

} // namespace

const WebsocketRequest *websocketRequestsBegin()
{
	return std::begin(requests);
}

const WebsocketRequest *websocketRequestsEnd()
{
	return std::end(requests);
}

void setRequestDockLink(std::function<void()> flushTexts, std::function<void()> presetsChanged)
{
	dockFlushTexts = std::move(flushTexts);
	dockPresetsChanged = std::move(presetsChanged);
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

void flushDockTexts()
{
	if (dockFlushTexts)
		dockFlushTexts();
}

void showPresetChange()
{
	if (dockPresetsChanged)
		dockPresetsChanged();
}
