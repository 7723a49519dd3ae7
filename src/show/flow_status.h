#pragma once

#include "show/flow_step.h"

#include <QString>

#include <cstdint>

// Where the director's flow stands at one moment, as the dock's status line, the action
// rules and the remote's reports read it.
struct FlowStatus {
	int step = StepNone;
	int64_t afterZeroDeadline = 0;
	bool hasOpScene = false;
	int64_t stopStreamAt = 0; // 0: no stream-stop timer
	QString problem;          // empty once its 10 s are over
	bool held = false;
	QString holdReason;
	QString holdLocation; // a locale key
	bool waitingForResume = false;
	// The flow reached the main scene, and the show has not ended or been cancelled since.
	bool onMain = false;
	// A countdown went on after OBS restarted; until the operator's next action.
	bool resumedAfterRestart = false;
	// The unattended show: armed, it goes live at the first time and the show is at the
	// second (wall clock); -1 when not armed.
	bool armed = false;
	int64_t goLiveAtWallMs = -1;
	int64_t showAtWallMs = -1;
};
