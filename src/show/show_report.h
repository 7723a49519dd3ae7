#pragma once

#include <QString>

#include <cstdint>

struct FlowStatus;
struct ShowSnapshot;

// The show as other tools see it at one moment: what the remote state request answers and
// what its events carry.
struct ShowReport {
	int phase = 0; // a Phase, or PhaseMain
	int step = 0;
	bool held = false;
	QString holdReason;
	QString holdLocation; // a locale key
	bool counting = false;
	int64_t remainingMs = -1; // the running standby or break countdown, else -1
	QString preset;           // the current preset's name
	QString problem;          // the flow's and the settings file's; empty when there is none
	bool armed = false;       // the unattended show, with its times (-1 when not armed)
	int64_t goLiveAtWallMs = -1;
	int64_t showAtWallMs = -1;
	QString message; // the operator's message to the presenter
	bool messageBlink = false;

	// The same phase, step, hold, preset, problem, arming and message: nothing a change event
	// reports changed.
	bool sameStateAs(const ShowReport &other) const;
};

// A save problem (the settings file cannot be written) comes after the flow's.
ShowReport composeShowReport(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &saveProblem);
// The flow's problem and the save problem, one per line.
QString joinedProblems(const QString &flowProblem, const QString &saveProblem);
