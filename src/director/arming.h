#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

struct Preset;

// What an Arm asks for: the show time (else the preset's next until-time clock time) and
// how long before it the stream starts (else the preset's lead).
struct ArmRequest {
	std::optional<int64_t> showAtWallMs;
	std::optional<int64_t> leadMs;
};

// The times an arming comes to, or why it may not be armed (then nothing changes).
struct ArmPlan {
	QString refusal; // a short English sentence; empty when it may be armed
	int64_t goLiveAtWallMs = -1;
	int64_t showAtWallMs = -1;
};

// The show time lies after now and no more than seven days ahead; the go-live is the show
// time less the lead, and may already have passed (then it goes live at once).
ArmPlan planArming(const Preset &preset, const ArmRequest &request, int64_t nowWallMs, bool showRunning, bool armed);

// A wall-clock time as the log writes it ("2026-12-09 19:55:00", local time) and as the
// dock shows it ("19:55", with the month and day in front when it is not today's).
QByteArray logClockTime(int64_t wallMs);
QString shortClockTime(int64_t wallMs, int64_t nowWallMs);
