#pragma once

#include <QString>

class Director;
struct obs_data;
typedef struct obs_data obs_data_t;

// One function per request of the vendor (see websocket_requests.h for the contract).

// websocket_requests_show.cpp
QString requestGetState(Director &director, obs_data_t *request, obs_data_t *response);
QString requestListPresets(Director &director, obs_data_t *request, obs_data_t *response);
QString requestSelectPreset(Director &director, obs_data_t *request, obs_data_t *response);

// websocket_requests_flow.cpp
QString requestStartStandby(Director &director, obs_data_t *request, obs_data_t *response);
QString requestGoMain(Director &director, obs_data_t *request, obs_data_t *response);
QString requestStartBreak(Director &director, obs_data_t *request, obs_data_t *response);
QString requestStartEnding(Director &director, obs_data_t *request, obs_data_t *response);
QString requestCancel(Director &director, obs_data_t *request, obs_data_t *response);
QString requestHold(Director &director, obs_data_t *request, obs_data_t *response);
QString requestAddTime(Director &director, obs_data_t *request, obs_data_t *response);
