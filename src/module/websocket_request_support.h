#pragma once

#include "director/action_rules.h"

#include <QString>

class Director;
struct ShowReport;

// What the request handlers share (websocket_request_table.cpp).

// The dock's rules for its buttons and preset row at this moment.
ActionRules currentActionRules(const Director &director);
ShowReport currentShowReport(const Director &director);
void flushDockTexts();
void showPresetChange();
