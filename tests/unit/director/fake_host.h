#pragma once

#include "director/director_host.h"

#include <QString>
#include <QStringList>

#include <map>
#include <string>
#include <vector>

// A host source the test shapes by hand. The fake host keeps it alive until removed;
// whoever else holds it (like the director's OP watch) keeps it alive too.
class FakeSource final : public HostSource {
public:
	struct Item {
		std::shared_ptr<FakeSource> source;
		bool visible = true;
		bool group = false;
	};

	QString sourceName;
	bool scene = false;
	bool media = false;
	float volumeValue = 1.0f;
	int state = MediaNone;
	int64_t durationMs = 0;
	int64_t timeMs = 0;
	int restarts = 0;
	std::vector<Item> sceneItems;
	std::vector<std::atomic<bool> *> endedFlags;

	// The host's "media_ended" signal.
	void emitMediaEnded();

	QString name() const override { return sourceName; }
	bool isScene() const override { return scene; }
	bool isMedia() const override { return media; }
	float volume() const override { return volumeValue; }
	void setVolume(float volume) override { volumeValue = volume; }
	int mediaState() const override { return state; }
	void restartMedia() override;
	int64_t mediaDurationMs() const override { return durationMs; }
	int64_t mediaTimeMs() const override { return timeMs; }
	void connectMediaEnded(std::atomic<bool> *flag) override;
	void disconnectMediaEnded(std::atomic<bool> *flag) override;
	std::vector<HostSceneItem> items() const override;
	std::unique_ptr<HostWeakSource> weak() const override;

	std::weak_ptr<FakeSource> self;
};

// Weak links to fake sources that someone still holds.
int liveWeakSources();

// Scenes, sources, transitions and a stream as a test sets them up. A scene switch runs
// the current transition for its length on the fake clock.
class FakeHost final : public DirectorHost {
public:
	// The host's world.
	std::shared_ptr<FakeSource> addScene(const QString &name);
	std::shared_ptr<FakeSource> addMedia(const QString &name);
	// A source with a volume but no play state (an audio input).
	std::shared_ptr<FakeSource> addAudio(const QString &name);
	// Puts a source into a scene or group, after its other items.
	void addItem(const QString &scene, const QString &source, bool visible = true, bool group = false);
	void removeSource(const QString &name);
	std::shared_ptr<FakeSource> source(const QString &name) const;

	QString program;
	QStringList transitions{QStringLiteral("Fade")};
	QString transition = QStringLiteral("Fade");
	int durationMs = 300;
	// A transition runs while the fake clock is before this; stuck: it never ends.
	int64_t transitionEndsAt = 0;
	bool stuckTransition = false;
	bool streaming = false;
	int streamStops = 0;
	// How often the director asked for the stream; a stream that never connects stays off.
	int streamStarts = 0;
	bool streamConnects = true;
	bool recording = false;
	int recordingStarts = 0;
	int recordingStops = 0;
	// The host's output events, as OBS sends them: after the call that caused them.
	enum class OutputEvent { StreamStarted, StreamStopped, RecordingStopped };
	struct Event {
		OutputEvent what;
		bool clean = true; // a stop without an error code
	};
	std::vector<Event> events;
	bool lastStopClean = true;
	// A person's hands on OBS's own buttons, and a stream that drops for good.
	void personStartsStream();
	void personStopsStream();
	void personStartsRecording() { recording = true; }
	void personStopsRecording();
	void dropStream();
	int transitionChanges = 0;
	int durationChanges = 0;

	// What the director did.
	struct SceneSet {
		QString scene;
		QString transition;
		int durationMs;
		int64_t at;
	};
	std::vector<SceneSet> sceneSets;
	std::vector<std::string> phases;
	std::vector<std::string> holds;
	// The main window's close request, as the director asked to hear it.
	std::function<bool()> closeRequested;
	int finishedTransitions = 0;
	std::vector<std::pair<QString, int>> savedTransitions; // at each save of the collection

	HostSourcePtr findSource(const QString &name) override;
	QString currentSceneName() override { return program; }
	void setCurrentScene(const QString &name) override;
	QString currentTransitionName() override { return transition; }
	bool setCurrentTransition(const QString &name) override;
	int transitionDurationMs() override { return durationMs; }
	void setTransitionDurationMs(int ms) override;
	bool transitionActive() override;
	void finishTransitionNow() override;
	void saveSceneCollection() override { savedTransitions.push_back({transition, durationMs}); }
	bool streamingActive() override { return streaming; }
	void startStreaming() override;
	void followStreamOutput() override {}
	bool lastStreamStopWasClean() override { return lastStopClean; }
	void stopStreaming() override;
	bool recordingActive() override { return recording; }
	void startRecording() override;
	void stopRecording() override;
	void setCloseRequestHandler(std::function<bool()> handler) override { closeRequested = std::move(handler); }
	void reportPhase(const char *phase) override { phases.emplace_back(phase); }
	void reportHold(bool on, const QString &reason) override;

private:
	std::shared_ptr<FakeSource> add(const QString &name);
	std::map<QString, std::shared_ptr<FakeSource>> sources;
};
