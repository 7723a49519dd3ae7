// The standby music fade with its saved volume, the OP media watch and the ending media.
#include "director/director.h"

#include "base/clock.h"
#include "base/module_host.h"
#include "director/fade_curve.h"
#include "settings/config.h"

#include <algorithm>

namespace {

// A media that has not played this long after the OP scene was set is started once more.
constexpr int64_t opRestartAfterMs = 1500;
// A media in the error state this long after the watch began counts as ended.
constexpr int64_t opErrorAfterMs = 1000;
// A looping file that jumps back from its last stretch to the start has played once.
constexpr int64_t loopTailMs = 1500;
constexpr int64_t loopJumpMs = 1000;
// A media not playing this long after its restart, or playing without its position moving
// for this long, will not end by itself.
constexpr int64_t opStuckAfterMs = 10000;

} // namespace

void Director::startFade(const QString &name, int64_t durationMs, int64_t now)
{
	const HostSourcePtr source = host->findSource(name);
	if (!source) {
		reportMissing("Problem.SourceMissing", name);
		return;
	}
	bgmFadeStarted = true;
	const float volume = source->volume();
	// A record already saved for this source holds the volume from before an earlier fade.
	const MusicRestore saved = bgmRestore();
	if (!saved.pending || saved.source != name)
		setBgmRestore(name, volume);

	fade = MusicFade();
	fade.fading = true;
	fade.source = source->weak();
	fade.startVolume = volume;
	fade.startedAt = now;
	fade.durationMs = std::max<int64_t>(0, durationMs);
	moduleLog(LOG_INFO, "fading out '%s' over %lld ms", qUtf8Printable(name),
		  static_cast<long long>(fade.durationMs));
	stepFade(fade.startedAt);
}

void Director::stepFade(int64_t now)
{
	if (!fade.fading || fade.paused)
		return;
	const HostSourcePtr source = fade.source->lock();
	if (!source) {
		fade = MusicFade();
		return;
	}

	const float progress = fade.durationMs < 1
				       ? 1.0f
				       : std::clamp(float(now - fade.startedAt) / float(fade.durationMs), 0.0f, 1.0f);
	if (progress >= 1.0f || fade.startVolume <= 0.0f) {
		source->setVolume(0.0f);
		fade = MusicFade();
		moduleLog(LOG_INFO, "BGM faded out");
		return;
	}
	source->setVolume(fadeVolume(fade.startVolume, progress));
}

void Director::stopFade(bool restore)
{
	const bool wasFading = fade.fading;
	fade = MusicFade();
	if (wasFading && restore)
		restoreBgmVolume();
}

void Director::pauseFade(int64_t now)
{
	if (!fade.fading || fade.paused)
		return;
	const HostSourcePtr source = fade.source->lock();
	if (!source)
		return;
	// The rest of the fade goes on later from the volume reached, over the time left.
	fade.startVolume = source->volume();
	fade.durationMs = std::max<int64_t>(0, fade.startedAt + fade.durationMs - now);
	fade.startedAt = now;
	fade.paused = true;
}

void Director::unpauseFade(int64_t now)
{
	if (!fade.paused)
		return;
	fade.paused = false;
	fade.startedAt = now;
}

void Director::restoreBgmVolume()
{
	const MusicRestore saved = bgmRestore();
	if (!saved.pending)
		return;
	// A source that is missing now keeps its record for a later try.
	const HostSourcePtr source = host->findSource(saved.source);
	if (!source)
		return;
	source->setVolume(float(saved.volume));
	clearBgmRestore();
	moduleLog(LOG_INFO, "BGM '%s' volume back to %.3f", qUtf8Printable(saved.source), saved.volume);
}

void Director::startOpWatch(const QString &opScene, const QString &opMediaName)
{
	stopOpWatch();
	HostSourcePtr media;
	if (opMediaName.isEmpty()) {
		if (const HostSourcePtr scene = host->findSource(opScene))
			media = firstVisibleMedia(*scene);
	} else {
		media = host->findSource(opMediaName);
		if (!media || !media->isMedia()) {
			reportMissing("Problem.SourceMissing", opMediaName);
			media = nullptr;
		}
	}

	if (!media) {
		waitForMainWithoutMedia();
		return;
	}
	watch.watching = true;
	watch.media = media->weak();
	watch.name = media->name();
	watch.startedAt = watch.movedAt = monotonicNowMs();
	media->connectMediaEnded(&mediaEnded);
	moduleLog(LOG_INFO, "OP: waiting for '%s' to end", qUtf8Printable(media->name()));
}

HostSourcePtr Director::firstVisibleMedia(const HostSource &sceneOrGroup) const
{
	for (const HostSceneItem &item : sceneOrGroup.items()) {
		if (!item.visible || !item.source)
			continue;
		if (item.group) {
			if (HostSourcePtr inGroup = firstVisibleMedia(*item.source))
				return inGroup;
			continue;
		}
		if (item.source->isMedia())
			return item.source;
	}
	return nullptr;
}

void Director::waitForMainWithoutMedia()
{
	setStep(StepOpNoMedia);
	moduleLog(LOG_WARNING, "no OP media found; waiting for the main button");
}

void Director::stepOp(int64_t now)
{
	const HostSourcePtr media = watch.media->lock();
	if (!media) {
		const QString name = watch.name;
		stopOpWatch();
		reportMissing("Problem.SourceMissing", name);
		waitForMainWithoutMedia();
		return;
	}
	const int state = media->mediaState();
	if (state == MediaPlaying)
		watch.seenPlaying = true;

	if (!watch.seenPlaying && !watch.restartedOnce && now - watch.startedAt > opRestartAfterMs) {
		watch.restartedOnce = true;
		watch.restartedAt = now;
		media->restartMedia();
		moduleLog(LOG_INFO, "OP: restarted '%s'", qUtf8Printable(media->name()));
	}

	bool ended = ((state == MediaStopped || state == MediaEnded) && watch.seenPlaying) || mediaEnded.load();
	if (state == MediaError && now - watch.startedAt > opErrorAfterMs) {
		reportMissing("Problem.MediaError", media->name());
		ended = true;
	}
	const int64_t duration = media->mediaDurationMs();
	const int64_t position = media->mediaTimeMs();
	if (watch.seenPlaying && duration > 0 && watch.lastMediaTime > duration - loopTailMs &&
	    position + loopJumpMs < watch.lastMediaTime)
		ended = true;
	// Only a media that says it plays can stand still.
	if (state != MediaPlaying || position != watch.lastMediaTime)
		watch.movedAt = now;
	watch.lastMediaTime = position;
	if (!ended) {
		warnIfOpMediaStuck(*media, state, duration, now);
		return;
	}

	moduleLog(LOG_INFO, "OP: '%s' ended", qUtf8Printable(media->name()));
	stopOpWatch();
	if (!checkHold(HoldLocation::OpEnd, [this] { switchToMain(false); }))
		switchToMain(false);
}

void Director::warnIfOpMediaStuck(const HostSource &media, int state, int64_t duration, int64_t now)
{
	if (watch.stuckReported)
		return;
	const bool neverStarted = !watch.seenPlaying && watch.restartedOnce && now - watch.restartedAt > opStuckAfterMs;
	const bool stalled = state == MediaPlaying && duration > 0 && now - watch.movedAt > opStuckAfterMs;
	if (!neverStarted && !stalled)
		return;
	// The operator decides when to go on; the flow does not switch by itself.
	watch.stuckReported = true;
	reportMissing("Problem.OpMediaStuck", media.name());
}

void Director::stopOpWatch()
{
	// A source the host has destroyed took its signal with it; the flag outlives both.
	if (const HostSourcePtr media = watch.media ? watch.media->lock() : nullptr)
		media->disconnectMediaEnded(&mediaEnded);
	watch = OpWatch();
	mediaEnded = false;
}

void Director::restartMediaIfIdle(const QString &name)
{
	const HostSourcePtr media = name.isEmpty() ? nullptr : host->findSource(name);
	if (!media || !media->isMedia())
		return;
	const int state = media->mediaState();
	if (state == MediaPlaying || state == MediaOpening || state == MediaBuffering)
		return;
	media->restartMedia();
	moduleLog(LOG_INFO, "restarted media '%s'", qUtf8Printable(name));
}
