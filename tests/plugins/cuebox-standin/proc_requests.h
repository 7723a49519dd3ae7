#pragma once

#include <obs-data.h>

/* Vendor request "call_proc": {"name", "source", "args": {...}, "out": [{"name", "type"}]}.
 * Calls the global procedure `name`, or with "source" that source's own procedure, as any
 * other tool inside OBS would, with the string, bool and integer members of "args" as
 * inputs, and answers
 * {"called": whether a procedure of that name ran, "out": {requested outputs it set}},
 * or {"error": text} for a request it cannot express. */
void callProcRequest(obs_data_t *request, obs_data_t *response, void *priv);

/* Vendor request "records": {"records": [every call recorded so far]}. */
void recordsRequest(obs_data_t *request, obs_data_t *response, void *priv);
