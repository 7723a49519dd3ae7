#pragma once

#include "show/output_rules.h"

#include <QString>

#include <cstdint>
#include <functional>

class DirectorHost;
struct StartedOutputs;

// The one owner of what CurtainUp starts outside the scene: the stream, the recording,
// the watch over its own stream start and the ending's stream-stop timer. It remembers
// what it started itself (kept in "config.json" for a crash) and asks the table of
// output_rules.h before each start or stop. What survives which action of the flow is
// said per call below; nothing else touches these.
class ShowOutputs {
public:
	// A problem line that stays until the operator's next action, or the end of one.
	using ShowProblem = std::function<void(const QString &text)>;
	using ClearProblem = std::function<void()>;

	ShowOutputs(DirectorHost &host, ShowProblem show, ClearProblem clear);

	// The armed show goes live: the stream unless it runs, the recording when asked.
	// The stream start is watched until it is live and tried again if it is not.
	void goLive(bool record, int64_t now);
	// OBS started again after a crash: what CurtainUp had started comes back, once a
	// person resumes if the show is held.
	void bringBack(const StartedOutputs &before, bool held, int64_t now);
	// The ending's timer: the stream (and CurtainUp's recording) stops after the delay
	// when the preset asks for it. Any later action of the flow drops the timer; the watch
	// and what CurtainUp owns stay.
	void armStreamStop(bool presetStops, int64_t delayMs, bool held, int64_t now);
	void dropStreamStop();
	// Cancel: the timer and the watch go; what CurtainUp started stays its own.
	void cancel();
	void hold(int64_t now);
	void resume(int64_t now);
	void tick(int64_t now, bool held);

	// The host's events.
	void streamStarted();
	// A person's stop (OBS's output ended it without an error) stays stopped; a stream
	// that dropped after it was live is shown, not restarted.
	void streamStopped(bool byPerson);
	void recordingStopped();
	// OBS closes in order and stops the outputs itself: a person's stop, nothing is owed.
	void orderlyExit();

	// When the stream-stop timer ends (monotonic ms), 0 without one.
	int64_t streamStopAt(int64_t now) const;

private:
	// What happened to an output, with what the host says runs now.
	OutputHistory seen(Output output) const;
	OutputVerdict verdict(OutputActor actor, Output output, bool presetAsks, bool held) const;
	void start(Output output, int64_t now);
	void stopOnTimer();
	void watchStream(int64_t now);
	void stopWatching();
	void keep();

	DirectorHost &host;
	ShowProblem showProblem;
	ClearProblem clearProblem;
	OutputHistory stream = OutputHistory::Off;
	OutputHistory recording = OutputHistory::Off;
	// Brought back after a crash once a person resumes.
	bool streamOwed = false;
	bool recordingOwed = false;
	// CurtainUp's own stop is under way: its stop event is not a person's.
	bool stoppingStream = false;

	int64_t streamCheckAt = 0; // 0: the stream start is not watched
	int streamRetries = 0;
	bool watchProblemShown = false;

	int64_t stopAt = 0; // 0: no stream-stop timer
	bool stopPaused = false;
	int64_t stopRemaining = 0;
};
