#include "fake_host.h"

#include "base/clock.h"

#include <algorithm>

namespace {

int weakSources = 0;

class FakeWeakSource final : public HostWeakSource {
public:
	explicit FakeWeakSource(std::weak_ptr<FakeSource> source) : source(std::move(source)) { ++weakSources; }
	~FakeWeakSource() override { --weakSources; }
	FakeWeakSource(const FakeWeakSource &) = delete;
	FakeWeakSource &operator=(const FakeWeakSource &) = delete;
	HostSourcePtr lock() const override { return source.lock(); }

private:
	std::weak_ptr<FakeSource> source;
};

} // namespace

int liveWeakSources()
{
	return weakSources;
}

void FakeSource::emitMediaEnded()
{
	for (std::atomic<bool> *flag : endedFlags)
		flag->store(true);
}

void FakeSource::restartMedia()
{
	++restarts;
}

void FakeSource::connectMediaEnded(std::atomic<bool> *flag)
{
	endedFlags.push_back(flag);
}

void FakeSource::disconnectMediaEnded(std::atomic<bool> *flag)
{
	endedFlags.erase(std::remove(endedFlags.begin(), endedFlags.end(), flag), endedFlags.end());
}

std::vector<HostSceneItem> FakeSource::items() const
{
	std::vector<HostSceneItem> list;
	for (const Item &item : sceneItems)
		list.push_back({item.source, item.visible, item.group});
	return list;
}

std::unique_ptr<HostWeakSource> FakeSource::weak() const
{
	return std::make_unique<FakeWeakSource>(self);
}

std::shared_ptr<FakeSource> FakeHost::add(const QString &name)
{
	auto source = std::make_shared<FakeSource>();
	source->sourceName = name;
	source->self = source;
	sources[name] = source;
	return source;
}

std::shared_ptr<FakeSource> FakeHost::addScene(const QString &name)
{
	auto source = add(name);
	source->scene = true;
	return source;
}

std::shared_ptr<FakeSource> FakeHost::addMedia(const QString &name)
{
	auto source = add(name);
	source->media = true;
	return source;
}

std::shared_ptr<FakeSource> FakeHost::addAudio(const QString &name)
{
	return add(name);
}

void FakeHost::addItem(const QString &scene, const QString &sourceName, bool visible, bool group)
{
	sources.at(scene)->sceneItems.push_back({sources.at(sourceName), visible, group});
}

void FakeHost::removeSource(const QString &name)
{
	sources.erase(name);
}

std::shared_ptr<FakeSource> FakeHost::source(const QString &name) const
{
	const auto found = sources.find(name);
	return found == sources.end() ? nullptr : found->second;
}

HostSourcePtr FakeHost::findSource(const QString &name)
{
	return source(name);
}

void FakeHost::setCurrentScene(const QString &name)
{
	const int64_t now = monotonicNowMs();
	sceneSets.push_back({name, transition, durationMs, now});
	program = name;
	transitionEndsAt = now + durationMs;
}

bool FakeHost::setCurrentTransition(const QString &name)
{
	if (!transitions.contains(name))
		return false;
	transition = name;
	++transitionChanges;
	return true;
}

void FakeHost::setTransitionDurationMs(int ms)
{
	durationMs = ms;
	++durationChanges;
}

bool FakeHost::transitionActive()
{
	return stuckTransition || monotonicNowMs() < transitionEndsAt;
}

void FakeHost::finishTransitionNow()
{
	++finishedTransitions;
	stuckTransition = false;
	transitionEndsAt = monotonicNowMs();
}

void FakeHost::startStreaming()
{
	++streamStarts;
	streaming = streamConnects;
	events.push_back({streaming ? OutputEvent::StreamStarted : OutputEvent::StreamStopped, streaming});
}

void FakeHost::stopStreaming()
{
	streaming = false;
	++streamStops;
	events.push_back({OutputEvent::StreamStopped, true});
}

void FakeHost::personStartsStream()
{
	streaming = true;
	events.push_back({OutputEvent::StreamStarted, true});
}

void FakeHost::personStopsStream()
{
	streaming = false;
	events.push_back({OutputEvent::StreamStopped, true});
}

void FakeHost::dropStream()
{
	streaming = false;
	events.push_back({OutputEvent::StreamStopped, false});
}

void FakeHost::personStopsRecording()
{
	recording = false;
	events.push_back({OutputEvent::RecordingStopped, true});
}

void FakeHost::startRecording()
{
	++recordingStarts;
	recording = true;
}

void FakeHost::stopRecording()
{
	recording = false;
	++recordingStops;
	events.push_back({OutputEvent::RecordingStopped, true});
}

void FakeHost::reportHold(bool on, const QString &reason)
{
	holds.push_back(std::string(on ? "on:" : "off:") + reason.toStdString());
}
