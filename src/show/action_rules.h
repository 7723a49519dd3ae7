#pragma once

#include <QString>

struct FlowStatus;

// Which operator actions the show allows at one moment. The dock enables its buttons by
// these rules, the hotkeys act through the same director calls, and every remote request
// is refused or answered by the same ones.
struct ActionRules {
	bool mainAllowed = false;
	// On the main scene or on its way there with nothing held: Main sent again changes nothing.
	bool mainReached = false;
	// The Break/Back button; a break that is not running, and the way back from one.
	bool breakAllowed = true;
	bool startBreakAllowed = true;
	bool endBreakAllowed = false;
	bool endingAllowed = true;
	bool cancelAllowed = false;
	// Cancel has something to stop (it is always answered ok).
	bool cancelActs = false;
	// Presets may change only while nothing runs or waits.
	bool presetsUnlocked = true;
	// Nothing runs or waits, the show is not on its main scene and none is armed: a new
	// standby starts no show over another.
	bool showIdle = true;
	// The unattended show may be armed now (no show runs, none is armed).
	bool armAllowed = true;
};

ActionRules actionRules(int phase, const FlowStatus &flow);

// Automatic callers name themselves "auto…"; an empty sender cannot be a person either.
// Anyone may hold, only a person may resume.
bool isPersonSender(const QString &from);
