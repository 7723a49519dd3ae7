#pragma once

#include <obs-data.h>

/* Every procedure call the stand-in receives is kept twice: appended as one JSON line to
 * the record file (CUEBOX_STANDIN_RECORD, or records.jsonl in the module's config folder)
 * so a test can read it after OBS exits, and in memory for the "records" vendor request. */

/* Records a call of `proc` with the inputs in `args`; logs it as "[cuebox-standin] ...". */
void recordCall(const char *proc, obs_data_t *args);

/* The calls recorded so far, oldest first, as a new array reference. */
obs_data_array_t *recordedCalls();
