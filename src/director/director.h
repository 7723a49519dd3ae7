#pragma once

#include "director/arming.h"
#include "director/director_host.h"
#include "director/show_outputs.h"
#include "director/switch_request.h"
#include "settings/armed_show.h"
#include "settings/preset.h"
#include "show/flow_status.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

class QTimer;
struct RunningShow;
struct StartedOutputs;

// The step a hold kept back, valid only in the generation that kept it.
struct PendingStep {
	uint64_t generation = 0;
	QString label; // hold-location key
	std::function<void()> action;
};

// Runs the show on the UI thread: standby, zero, OP, main, break and ending, with holds,
// one queue of scene switches, the music fade and the OP media watch. Driven by its own
// 50 ms timer and by the operator's actions.
class Director : public QObject {
public:
	explicit Director(std::unique_ptr<DirectorHost> host, QObject *parent = nullptr);
	~Director() override;
	Director(const Director &) = delete;
	Director &operator=(const Director &) = delete;

	// Operator operations.
	void startStandby();
	// Standby with a countdown of this length for this run only; the preset stays as it is.
	void startStandbyFor(int64_t lengthMs);
	void skipToMain();
	// The dock's Break/Back button.
	void toggleBreak();
	// A break, unless one runs.
	void startBreak();
	// The way back from a break, unless it is on its way already.
	void endBreak();
	void startEnding();
	void cancel();
	void toggleHold();
	// A hold (on) or resume request; a resume only from a person.
	void hold(bool on, const QString &from, const QString &reason);
	// More or less time on the running standby or break countdown, never less than 1 s
	// left; the time left afterwards, or -1 when nothing counts down.
	int64_t addTime(int64_t ms);
	void addMinute();
	void removeMinute();

	// The unattended show (director_arming.cpp): armed for a show time, the stream starts
	// at the go-live time and the standby with it, counting down to the show time; a hold
	// holds the go-live. Arm is refused (the plan says why) while a show runs or one is
	// armed; then nothing changes.
	ArmPlan arm(const ArmRequest &request);
	void disarm();
	// The arming found in the settings when OBS has loaded again (a copy: restoring it
	// writes the stored record).
	void restoreArming(ArmedShow found);
	// A stream started by anyone: the preset may start the standby with it.
	void onStreamingStarted();

	// After a restart (director_restart.cpp): the countdown that ran when OBS closed goes
	// on in its phase, held if it was; or the operator hears that it ended meanwhile.
	void resumeShow(const RunningShow &show);
	void reportEndedWhileClosed();
	// After a crash: what CurtainUp had started outside the scene comes back (after the
	// show's hold is restored, which it obeys).
	void bringBackOutputs(const StartedOutputs &before);

	// Host events.
	void onStreamingStopped();
	void onRecordingStopped();
	void onCollectionChanging();
	void shutdown();
	void renameSource(const QString &oldName, const QString &newName);

	// Queries.
	FlowStatus flowStatus() const;
	// Hands the flow to the readers on other threads (the procedures, the remote).
	void publishFlow() const;
	QString holdLocation() const;
	// The scene a break goes back to.
	QString breakReturnScene() const { return returnScene; }

	// One step of the flow; the timer calls it every 50 ms.
	void tick();

private:
	using Action = std::function<void()>;

	// The state machine (director.cpp).
	void afterZero(int64_t now);
	void proceedAfterZero();
	void switchToMain(bool manual);
	// Standby or a break from the top, or (resumed) going on with a run from before a restart.
	void enterStandby(const RunningShow *resumed, int64_t runLengthMs, int64_t runEndsAtWallMs);
	void enterBreak(const RunningShow *resumed);
	void logResumed(const RunningShow &resumed) const;
	void returnFromBreak(bool automatic);
	void setStep(int newStep);
	// An operator action takes the flow over: a new generation, nothing pending, no OP
	// watch, no music fade (its volume put back if asked), no stream-stop or media timer.
	// The watch over CurtainUp's own stream start and what it started stay.
	void takeOverFlow(bool restoreMusic);
	void resetFlow();
	// Shown for 10 s, or until the operator's next action.
	void reportProblem(const QString &text, bool untilOperatorActs = false);
	// What only lasts until the operator acts goes.
	void operatorActed();
	void reportMissing(const char *key, const QString &name);
	// The host is asked to close and is about to save the operator's transition.
	bool onCloseRequested();
	// Runs the action only while the generation has not moved on.
	Action guarded(Action action);

	// The unattended show (director_arming.cpp).
	void setArming(const ArmedShow &show);
	// Writes the arming with the show's hold, so that a restart keeps both.
	void keepArming();
	// Goes live at the go-live time unless held; a show time passed meanwhile disarms.
	void followArming();
	void goLive(ArmedShow show);

	// Hold and resume (director_hold.cpp).
	bool checkHold(const QString &location, Action action);
	void pauseAfterZero(int64_t now);
	void resumeAfterZero(int64_t now);
	void clearPendingStep();

	// Scene switching (director_switching.cpp).
	void queueSwitch(const QString &scene, const TransitionChoice &transition, Action onStarted, Action onFinished,
			 bool holdGated, Action beforeSwitch);
	void pumpSwitches(int64_t now);
	void waitOutTransition(int64_t now);
	void performSwitch(SwitchRequest request, int64_t now);
	void finishSwitch();
	void putBackTransition();
	bool holdGatedSwitchWaiting() const;

	// Music fade and media (director_media.cpp).
	void startFade(const QString &name, int64_t durationMs, int64_t now);
	void stepFade(int64_t now);
	void stopFade(bool restore);
	void pauseFade(int64_t now);
	void unpauseFade(int64_t now);
	void restoreBgmVolume();
	void startOpWatch(const QString &opScene, const QString &opMediaName);
	HostSourcePtr firstVisibleMedia(const HostSource &sceneOrGroup) const;
	void waitForMainWithoutMedia();
	void stepOp(int64_t now);
	void warnIfOpMediaStuck(const HostSource &media, int state, int64_t duration, int64_t now);
	void stopOpWatch();
	void restartMediaIfIdle(const QString &name);

	std::unique_ptr<DirectorHost> host;
	QTimer *timer;
	uint64_t generation = 0;
	int step = StepNone;
	int64_t afterZeroDeadline = 0;
	int64_t endingMediaRestartAt = 0;
	QString returnScene;
	bool bgmFadeStarted = false;

	// Hold.
	bool held = false;
	QString holdReason;
	PendingStep pendingStep;
	bool afterZeroPaused = false;
	int64_t afterZeroRemaining = 0;
	uint64_t pausedGeneration = 0;

	QString problem;
	int64_t problemUntil = 0;
	bool problemUntilOperatorActs = false;
	bool onMain = false;
	bool resumedAfterRestart = false; // until the operator's next action

	// The unattended show. A timer aimed at the go-live makes it on time; the 50 ms tick
	// catches a wall clock that moved meanwhile.
	ArmedShow arming;
	QTimer *goLiveTimer;
	// The go-live time came while held: a show time passed then was held past.
	bool goLiveHeldBack = false;
	ShowOutputs outputs;

	// Switching.
	std::deque<SwitchRequest> switchQueue;
	bool switchInFlight = false;
	SwitchRequest currentSwitch;
	int64_t switchStartedAt = 0;
	int idleTicks = 0;
	QString savedTransition;
	int savedDuration = 0;
	bool restoreTransition = false;
	bool restoreDuration = false;
	bool closeHeldBack = false; // a close request waits for the switch in flight to end

	// The standby music fade.
	struct MusicFade {
		bool fading = false;
		bool paused = false;
		std::unique_ptr<HostWeakSource> source;
		float startVolume = 1.0f;
		int64_t startedAt = 0;
		int64_t durationMs = 0;
	};
	MusicFade fade;

	// The OP media watch. The media is held weakly, so the host may drop it at any time
	// (as it drops every source when it closes).
	struct OpWatch {
		bool watching = false;
		std::unique_ptr<HostWeakSource> media;
		QString name;
		int64_t startedAt = 0;
		bool seenPlaying = false;
		bool restartedOnce = false;
		int64_t restartedAt = 0;
		int64_t lastMediaTime = -1;
		int64_t movedAt = 0; // when the play position last changed
		bool stuckReported = false;
	};
	OpWatch watch;
	// Set by the media's "media_ended" signal on the host's thread.
	std::atomic<bool> mediaEnded{false};
};

// The module's one director: created once at load, deleted at unload.
Director *createDirector();
// For tests and other hosts: the director gets this host when none exists yet.
Director *createDirector(std::unique_ptr<DirectorHost> host);
// Null before creation and after destruction; safe to read on any thread.
Director *directorInstance();
void destroyDirector();
