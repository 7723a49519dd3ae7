#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The director reaches the host only through these interfaces, so whole shows can run
// against a fake host in tests.

// Media states as the host numbers them.
enum MediaState : int {
	MediaNone = 0,
	MediaPlaying = 1,
	MediaOpening = 2,
	MediaBuffering = 3,
	MediaPaused = 4,
	MediaStopped = 5,
	MediaEnded = 6,
	MediaError = 7,
};

class HostSource;
// Holding the pointer keeps the host's source alive.
using HostSourcePtr = std::shared_ptr<HostSource>;

// A link to a host source that does not keep it alive.
class HostWeakSource {
public:
	virtual ~HostWeakSource() = default;
	// The source while it still exists, else null.
	virtual HostSourcePtr lock() const = 0;
};

// One item of a scene or group as the director looks at it.
struct HostSceneItem {
	HostSourcePtr source;
	bool visible = false;
	bool group = false;
};

class HostSource {
public:
	virtual ~HostSource() = default;

	virtual QString name() const = 0;
	virtual bool isScene() const = 0;
	// Controllable media: has a play state, a position and can be restarted.
	virtual bool isMedia() const = 0;

	// Linear volume (1.0 = 0 dB).
	virtual float volume() const = 0;
	virtual void setVolume(float volume) = 0;

	virtual int mediaState() const = 0;
	virtual void restartMedia() = 0;
	virtual int64_t mediaDurationMs() const = 0;
	virtual int64_t mediaTimeMs() const = 0;
	// The host's "media_ended" signal sets the flag, on whatever thread the host uses.
	// The flag must stay alive until it is disconnected.
	virtual void connectMediaEnded(std::atomic<bool> *flag) = 0;
	virtual void disconnectMediaEnded(std::atomic<bool> *flag) = 0;

	// The items of a scene or group in the scene's own order; empty for other sources.
	virtual std::vector<HostSceneItem> items() const = 0;

	virtual std::unique_ptr<HostWeakSource> weak() const = 0;
};

class DirectorHost {
public:
	virtual ~DirectorHost() = default;

	// Null when no source has that name.
	virtual HostSourcePtr findSource(const QString &name) = 0;

	// The scene on the program output.
	virtual QString currentSceneName() = 0;
	virtual void setCurrentScene(const QString &name) = 0;

	virtual QString currentTransitionName() = 0;
	// Makes the first transition of that name in the host's list current; false if none.
	virtual bool setCurrentTransition(const QString &name) = 0;
	virtual int transitionDurationMs() = 0;
	virtual void setTransitionDurationMs(int ms) = 0;
	// A transition is running on the program output.
	virtual bool transitionActive() = 0;
	// Ends the running transition at once on the scene it was going to.
	virtual void finishTransitionNow() = 0;
	// Has the host save its scene collection (with its current transition) again.
	virtual void saveSceneCollection() = 0;

	virtual bool streamingActive() = 0;
	virtual void startStreaming() = 0;
	// The stream that went live is followed, so that its stop can be told apart: a person
	// stops it cleanly, a failed or dropped connection ends it with an error.
	virtual void followStreamOutput() = 0;
	virtual bool lastStreamStopWasClean() = 0;
	virtual void stopStreaming() = 0;
	virtual bool recordingActive() = 0;
	virtual void startRecording() = 0;
	virtual void stopRecording() = 0;

	// The handler runs when the host's main window is asked to close: before the host saves
	// its scene collection, and before it knows whether it will really close. When it answers
	// false, the host holds that close back and asks again a moment later.
	virtual void setCloseRequestHandler(std::function<bool()> handler) = 0;

	// Tells the sibling plug-in the show's phase and the operator's holds.
	virtual void reportPhase(const char *phase) = 0;
	virtual void reportHold(bool on, const QString &reason) = 0;
};
