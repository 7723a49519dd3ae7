#pragma once

#include <QString>

#include <cstdint>

struct FlowStatus;
struct ShowSnapshot;

// The show as other tools see it at one moment: what the remote state request answers and
// what its events carry.
struct ShowReport {
	int phase = 0;
	int step = 0;
	bool held = false;
	QString holdReason;
	QString holdLocation; // a locale key
	bool counting = false;
	int64_t remainingMs = -1; // the running standby or break countdown, else -1
	QString preset;           // the current preset's name
	QString problem;          // empty when there is none

	// The same phase, step, hold and problem: nothing an event reports changed.
	bool sameStateAs(const ShowReport &other) const;
};

ShowReport composeShowReport(const ShowSnapshot &snapshot, const FlowStatus &flow);
