#pragma once

#include <QString>

struct FlowStatus;
struct ShowSnapshot;

// What the dock shows above its tabs for one moment of the show: the two status lines,
// the problem line, and the labels and enabled states of the actions and the preset row.
struct DockStatus {
	QString large;
	QString detail;
	QString problem;
	QString standbyText;
	bool mainEnabled = false;
	QString breakText;
	bool breakEnabled = true;
	bool endingEnabled = true;
	bool cancelEnabled = false;
	QString holdText;
	bool held = false;
	// Presets may change only while nothing runs or waits.
	bool presetsUnlocked = true;
};

DockStatus composeDockStatus(const ShowSnapshot &snapshot, const FlowStatus &flow);

// Whole seconds from now until a deadline, rounded up, never below 0.
int secondsUntil(int64_t deadline, int64_t now);
