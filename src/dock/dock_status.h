#pragma once

#include <QString>

struct FlowStatus;
struct ShowSnapshot;

// What the dock shows above its tabs for one moment of the show: the two status lines,
// the problem line, and the labels and enabled states of the actions and the preset row.
struct DockStatus {
	QString large;
	// A countdown runs: the dock offers a minute more or less beside the time left.
	bool timeAdjustable = false;
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
	QString armText;
	bool armEnabled = false;
	QString armTip; // why it is off, when it is
	bool presetsUnlocked = true;
};

// A save problem (the settings file cannot be written) is shown under the flow's problem.
// The arming's times are shown against the wall clock of the snapshot.
DockStatus composeDockStatus(const ShowSnapshot &snapshot, const FlowStatus &flow,
			     const QString &saveProblem = QString());
