#pragma once

#include "settings/running_show.h"

struct FlowStatus;
struct ShowSnapshot;

// Keeps the record of the running countdown in "config.json" in step with the show, so
// that a restart of OBS can pick the show up again.

// The record as the show stands (inactive while no countdown runs).
RunningShow runningShowAt(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &returnScene);
// Writes the record when it changed: a show started, stopped, held or resumed, or its end
// moved. Reading both clocks again does not count as a move.
void keepRunningShow(const RunningShow &now);
// When the host finished loading: the show goes on from the record read at load, or the
// operator hears that it ended while OBS was closed; a record days old is dropped. An
// armed show is armed again, goes live, or was missed.
void resumeRunningShow();
