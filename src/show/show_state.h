#pragma once

#include "settings/preset.h"
#include "show/flow_status.h"
#include "show/picture_texts.h"

#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

struct GlyphImages;

enum Phase : int { PhaseIdle = 0, PhaseStandby = 1, PhaseOp = 2, PhaseBreak = 3, PhaseEnding = 4 };
// Reported only (the show state reads idle there): the flow reached the main scene and the
// show has not ended or been cancelled since.
constexpr int PhaseMain = 5;
const char *phaseName(int phase);

// The countdown source kinds; any value but break draws standby.
enum SourceKind : int { KindStandby = 0, KindBreak = 1 };

struct Countdown {
	int phase = PhaseIdle;
	int64_t startedAt = 0;
	int64_t endsAt = 0;
	int64_t targetWallClock = 0; // 0 in for-length mode
	bool finished = false;
	int64_t finishedAt = 0;
	// Time the operator added to (or took from) this run; the preset stays as it is.
	int64_t addedMs = 0;
	// This run counts down this long, or to this wall-clock time, whatever the preset
	// counts (0: as the preset counts).
	int64_t runLengthMs = 0;
	int64_t runEndsAtWallMs = 0;
};

// What the shared state holds of the show, and what a snapshot copies of it.
struct ShowValues {
	Preset preset;
	Countdown countdown;
	bool breakActive = false;
	int64_t breakEndsAt = 0;
	bool held = false;
	std::shared_ptr<const GlyphImages> glyphs;
	PictureTexts texts; // the locale texts of the picture, as of the last applied preset
	// Moves on with every applied preset: the picture's layout, glyphs and texts may have
	// changed, and nothing else changes them.
	uint64_t pictureGeneration = 0;

	// The standby countdown runs (not frozen, zero not reached) or the break countdown runs.
	bool countingAt(int64_t nowMono) const;
};

// A copy of the shared state taken under its lock, with both clocks read there.
struct ShowSnapshot : ShowValues {
	int64_t nowMono = 0;
	int64_t nowWall = 0;
	uint64_t revision = 0;

	int64_t remainingMs() const;
	int64_t zeroAt() const;
	bool zeroReached() const;
	int64_t breakRemainingMs() const;
	bool breakOver() const;
	bool counting() const { return countingAt(nowMono); }
};

struct StateForProcedure {
	const char *mode;
	bool counting;
	QString standbyScene;
};

// What the countdown picture derives from a preset before it is shown (picture/
// preset_picture.h makes it): its picture glyphs, the locale texts it draws and the
// natural sizes of both kinds.
struct PresetPicture {
	std::shared_ptr<const GlyphImages> glyphs;
	PictureTexts texts;
	QSize standbySize{800, 300};
	QSize breakSize{600, 160};
};

// The next wall-clock time (ms since the epoch) at targetMinutes after midnight, local
// time, strictly after wallMs.
int64_t nextTargetAfter(int64_t wallMs, int targetMinutes);

// The one record every thread reads: the active preset, the countdowns, the phase and the
// held flag. A revision counter tells the countdown sources when to draw again.
class ShowState {
public:
	// Writers (UI thread).
	// A run of runLengthMs, or to runEndsAtWallMs, or (both 0) as the preset counts.
	void startCountdown(int64_t runLengthMs = 0, int64_t runEndsAtWallMs = 0);
	void finishCountdown();
	void clearFinished();
	void setPhase(int phase);
	void setHeld(bool on);
	void startBreakCountdown();
	void endBreakNow();
	void leaveBreak();
	void resetCountdown();
	// Moves the end of the running standby or break countdown by ms, never to less than
	// 1 s left (nor above the longest countdown); the time left afterwards, or -1 when
	// nothing counts down.
	int64_t addTime(int64_t ms);
	// Counts down again toward an end given on the wall clock (after a restart).
	void resumeCountdown(int64_t endWallMs);
	void resumeBreakCountdown(int64_t endWallMs);
	// The preset with the picture made from it; without one, the picture stays empty.
	void applyPreset(const Preset &preset, PresetPicture picture = PresetPicture());

	// Readers (any thread).
	ShowSnapshot snapshot() const;
	uint64_t revision() const;
	QSize naturalSize(int kind) const;
	int phase() const;
	bool isCounting() const;
	StateForProcedure stateForProcedure() const;

	// Once per frame on the graphics thread.
	void tick();

private:
	void computeEnd(int64_t nowMono, int64_t nowWall);
	void shiftStandbyEnd(int64_t deltaMs);
	int64_t cachedNextTarget(int64_t nowWall);

	mutable std::mutex mutex;
	ShowValues shown;
	QSize standbySize{800, 300};
	QSize breakSize{600, 160};
	uint64_t revision_ = 1;
	int64_t lastAnimationBump = 0;
	std::array<int64_t, 5> published{{-1, -1, -1, -1, -1}};
	// The idle preview of an until-time countdown asks for the next target every frame;
	// it stays the same until the wall clock reaches it.
	int64_t targetCacheFrom = 0;
	int64_t targetCacheValue = -1;
	int targetCacheMinutes = -1;
};

ShowState &showState();

// The director's flow as the UI thread last published it, for the readers on other
// threads: `curtainup_get_flow` and the remote's state.
void publishFlow(const FlowStatus &flow);
FlowStatus readFlow();
