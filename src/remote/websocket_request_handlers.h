#pragma once

#include "show/action_rules.h"

#include <QString>

class Director;
struct obs_data;
typedef struct obs_data obs_data_t;

// One function per request of the vendor (websocket_requests.h lists them and gives their
// contract), and what they share (websocket_request_table.cpp).

// The dock's rules for its buttons and preset row at this moment (UI thread).
ActionRules currentActionRules(const Director &director);

// websocket_requests_show.cpp: readers, on any thread.
QString requestGetState(obs_data_t *request, obs_data_t *response);
QString requestListPresets(obs_data_t *request, obs_data_t *response);

// websocket_requests_show.cpp and websocket_requests_flow.cpp: actions, on the UI thread.
QString requestSelectPreset(Director &director, obs_data_t *request, obs_data_t *response);
QString requestStartStandby(Director &director, obs_data_t *request, obs_data_t *response);
QString requestGoMain(Director &director, obs_data_t *request, obs_data_t *response);
QString requestStartBreak(Director &director, obs_data_t *request, obs_data_t *response);
QString requestEndBreak(Director &director, obs_data_t *request, obs_data_t *response);
QString requestToggleBreak(Director &director, obs_data_t *request, obs_data_t *response);
QString requestStartEnding(Director &director, obs_data_t *request, obs_data_t *response);
QString requestCancel(Director &director, obs_data_t *request, obs_data_t *response);
QString requestHold(Director &director, obs_data_t *request, obs_data_t *response);
QString requestAddTime(Director &director, obs_data_t *request, obs_data_t *response);
QString requestArm(Director &director, obs_data_t *request, obs_data_t *response);
QString requestDisarm(Director &director, obs_data_t *request, obs_data_t *response);

// websocket_requests_crew.cpp: the message to the presenter and the crew's page (UI thread).
QString requestSetMessage(Director &director, obs_data_t *request, obs_data_t *response);
QString requestClearMessage(Director &director, obs_data_t *request, obs_data_t *response);
QString requestCrewPage(Director &director, obs_data_t *request, obs_data_t *response);
QString requestSetCrewPage(Director &director, obs_data_t *request, obs_data_t *response);
