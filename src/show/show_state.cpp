#include "show/show_state.h"

#include "base/clock.h"
#include "base/qt_compat.h"

#include <QDateTime>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int64_t animationFloorMs = 33;
constexpr int64_t resyncToleranceMs = 250;
constexpr int64_t messagePeriodMs = 6000;
constexpr int64_t leastLeftAfterRemovingMs = 1000;

int64_t ceilSeconds(int64_t ms)
{
	return (ms + 999) / 1000;
}

// The countdown values shared by snapshots and the per-frame tick. nextTarget gives the
// next until-time target after a wall time; the tick passes a cached one.
template<typename NextTarget>
int64_t remainingOf(const Countdown &countdown, const Preset &preset, int64_t nowMono, int64_t nowWall,
		    NextTarget nextTarget)
{
	if (countdown.finished)
		return 0;
	if (countdown.phase == PhaseStandby)
		return std::max<int64_t>(0, countdown.endsAt - nowMono);
	if (preset.count_mode != 0)
		return preset.duration_ms;
	return std::max<int64_t>(0, nextTarget(nowWall) - nowWall);
}

int64_t zeroAtOf(const Countdown &countdown, int64_t nowMono)
{
	if (countdown.finished)
		return countdown.finishedAt;
	if (countdown.phase == PhaseStandby && nowMono >= countdown.endsAt)
		return countdown.endsAt;
	return -1;
}

int64_t breakRemainingOf(bool breakActive, int64_t breakEndsAt, const Preset &preset, int64_t nowMono)
{
	if (!breakActive)
		return preset.break_ms;
	return std::max<int64_t>(0, breakEndsAt - nowMono);
}

} // namespace

const char *phaseName(int phase)
{
	switch (phase) {
	case PhaseStandby:
		return "standby";
	case PhaseOp:
		return "op";
	case PhaseBreak:
		return "break";
	case PhaseEnding:
		return "ending";
	case PhaseMain:
		return "main";
	default:
		return "idle";
	}
}

int64_t nextTargetAfter(int64_t wallMs, int targetMinutes)
{
	const int minutes = std::clamp(targetMinutes, 0, PresetBounds::maxTargetMinutes);
	const QDateTime now = QDateTime::fromMSecsSinceEpoch(wallMs);
	QDateTime target(now.date(), QTime(minutes / 60, minutes % 60));
	if (now >= target)
		target = target.addDays(1);
	return target.toMSecsSinceEpoch();
}

int64_t ShowSnapshot::remainingMs() const
{
	return remainingOf(countdown, preset, nowMono, nowWall,
			   [this](int64_t wall) { return nextTargetAfter(wall, preset.target_minutes); });
}

int64_t ShowSnapshot::zeroAt() const
{
	return zeroAtOf(countdown, nowMono);
}

bool ShowSnapshot::zeroReached() const
{
	return countdown.phase == PhaseStandby && !countdown.finished && nowMono >= countdown.endsAt;
}

int64_t ShowSnapshot::breakRemainingMs() const
{
	return breakRemainingOf(breakActive, breakEndsAt, preset, nowMono);
}

bool ShowValues::countingAt(int64_t nowMono) const
{
	if (countdown.phase == PhaseStandby)
		return !countdown.finished && nowMono < countdown.endsAt;
	if (countdown.phase == PhaseBreak)
		return breakActive && nowMono < breakEndsAt;
	return false;
}

bool ShowSnapshot::breakOver() const
{
	return countdown.phase == PhaseBreak && breakActive && nowMono >= breakEndsAt;
}

ShowState &showState()
{
	static ShowState state;
	return state;
}

void ShowState::computeEnd(int64_t nowMono, int64_t nowWall)
{
	const int64_t added = shown.countdown.addedMs;
	const int64_t runLength = shown.countdown.runLengthMs;
	const int64_t runEndsAtWall = shown.countdown.runEndsAtWallMs;
	if (runLength > 0 || (runEndsAtWall == 0 && shown.preset.count_mode != 0)) {
		shown.countdown.targetWallClock = 0;
		shown.countdown.endsAt =
			shown.countdown.startedAt + (runLength > 0 ? runLength : shown.preset.duration_ms) + added;
		return;
	}
	const int64_t startedWall = shown.countdown.startedAt + nowWall - nowMono;
	const int64_t target =
		runEndsAtWall > 0 ? runEndsAtWall : nextTargetAfter(startedWall, shown.preset.target_minutes);
	shown.countdown.targetWallClock = target + added;
	shown.countdown.endsAt = shown.countdown.targetWallClock + nowMono - nowWall;
}

void ShowState::shiftStandbyEnd(int64_t deltaMs)
{
	shown.countdown.addedMs += deltaMs;
	shown.countdown.endsAt += deltaMs;
	if (shown.countdown.targetWallClock != 0)
		shown.countdown.targetWallClock += deltaMs;
}

void ShowState::startCountdown(int64_t runLengthMs, int64_t runEndsAtWallMs)
{
	std::lock_guard<std::mutex> lock(mutex);
	const int64_t nowMono = monotonicNowMs();
	const int64_t nowWall = wallNowMs();
	shown.countdown.phase = PhaseStandby;
	shown.countdown.startedAt = nowMono;
	shown.countdown.addedMs = 0;
	shown.countdown.runLengthMs = std::clamp<int64_t>(runLengthMs, 0, PresetBounds::maxCountMs);
	shown.countdown.runEndsAtWallMs = runEndsAtWallMs;
	computeEnd(nowMono, nowWall);
	shown.countdown.finished = false;
	shown.breakActive = false;
	++revision_;
}

void ShowState::finishCountdown()
{
	std::lock_guard<std::mutex> lock(mutex);
	if (shown.countdown.finished)
		return;
	const int64_t now = monotonicNowMs();
	shown.countdown.finished = true;
	shown.countdown.finishedAt = now;
	if (shown.countdown.phase == PhaseStandby && shown.countdown.endsAt < now)
		shown.countdown.finishedAt = shown.countdown.endsAt;
	++revision_;
}

void ShowState::clearFinished()
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.countdown.finished = false;
	++revision_;
}

void ShowState::setPhase(int phase)
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.countdown.phase = phase;
	++revision_;
}

void ShowState::setHeld(bool on)
{
	std::lock_guard<std::mutex> lock(mutex);
	if (shown.held == on)
		return;
	shown.held = on;
	++revision_;
}

void ShowState::startBreakCountdown()
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.countdown.phase = PhaseBreak;
	shown.breakActive = true;
	shown.breakEndsAt = monotonicNowMs() + shown.preset.break_ms;
	++revision_;
}

void ShowState::endBreakNow()
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.breakEndsAt = std::min(shown.breakEndsAt, monotonicNowMs());
	++revision_;
}

void ShowState::leaveBreak()
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.breakActive = false;
	if (shown.countdown.phase == PhaseBreak)
		shown.countdown.phase = PhaseIdle;
	++revision_;
}

void ShowState::resetCountdown()
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.countdown = Countdown();
	shown.breakActive = false;
	shown.breakEndsAt = 0;
	++revision_;
}

int64_t ShowState::addTime(int64_t ms)
{
	std::lock_guard<std::mutex> lock(mutex);
	const int64_t now = monotonicNowMs();
	if (!shown.countingAt(now))
		return -1;
	const bool standby = shown.countdown.phase == PhaseStandby;
	const int64_t left = (standby ? shown.countdown.endsAt : shown.breakEndsAt) - now;
	// Taking time away stops at 1 s left; adding stops at the longest countdown. A
	// countdown already beyond either bound is not pushed further out.
	const int64_t step = std::clamp(ms, -PresetBounds::maxCountMs, PresetBounds::maxCountMs);
	const int64_t wanted = std::clamp(left + step, std::min(left, leastLeftAfterRemovingMs),
					  std::max(left, PresetBounds::maxCountMs));
	if (standby)
		shiftStandbyEnd(wanted - left);
	else
		shown.breakEndsAt += wanted - left;
	++revision_;
	return wanted;
}

void ShowState::resumeCountdown(int64_t endWallMs)
{
	std::lock_guard<std::mutex> lock(mutex);
	const int64_t nowMono = monotonicNowMs();
	const int64_t nowWall = wallNowMs();
	shown.countdown = Countdown();
	shown.countdown.phase = PhaseStandby;
	shown.countdown.startedAt = nowMono;
	computeEnd(nowMono, nowWall);
	// The run goes on as the preset would count it, moved to the end it had.
	shiftStandbyEnd(endWallMs - nowWall - (shown.countdown.endsAt - nowMono));
	shown.breakActive = false;
	++revision_;
}

void ShowState::resumeBreakCountdown(int64_t endWallMs)
{
	std::lock_guard<std::mutex> lock(mutex);
	shown.countdown.phase = PhaseBreak;
	shown.breakActive = true;
	shown.breakEndsAt = monotonicNowMs() + endWallMs - wallNowMs();
	++revision_;
}

void ShowState::applyPreset(const Preset &preset, PresetPicture picture)
{
	std::lock_guard<std::mutex> lock(mutex);
	compat::assignCopy(shown.preset, preset);
	shown.glyphs = std::move(picture.glyphs);
	shown.texts = std::move(picture.texts);
	++shown.pictureGeneration;
	shown.preset.duration_ms =
		std::clamp(shown.preset.duration_ms, PresetBounds::minCountMs, PresetBounds::maxCountMs);
	shown.preset.break_ms = std::clamp(shown.preset.break_ms, PresetBounds::minCountMs, PresetBounds::maxCountMs);
	shown.preset.target_minutes = std::clamp(shown.preset.target_minutes, 0, PresetBounds::maxTargetMinutes);
	standbySize = picture.standbySize;
	breakSize = picture.breakSize;
	if (shown.countdown.phase == PhaseStandby && !shown.countdown.finished)
		computeEnd(monotonicNowMs(), wallNowMs());
	++revision_;
}

ShowSnapshot ShowState::snapshot() const
{
	std::lock_guard<std::mutex> lock(mutex);
	ShowSnapshot snap;
	static_cast<ShowValues &>(snap) = shown;
	snap.nowMono = monotonicNowMs();
	snap.nowWall = wallNowMs();
	snap.revision = revision_;
	return snap;
}

uint64_t ShowState::revision() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return revision_;
}

QSize ShowState::naturalSize(int kind) const
{
	std::lock_guard<std::mutex> lock(mutex);
	return kind == KindBreak ? breakSize : standbySize;
}

int ShowState::phase() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return shown.countdown.phase;
}

bool ShowState::isCounting() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return shown.countingAt(monotonicNowMs());
}

StateForProcedure ShowState::stateForProcedure() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return {phaseName(shown.countdown.phase), shown.countingAt(monotonicNowMs()), shown.preset.standby_scene};
}

int64_t ShowState::cachedNextTarget(int64_t nowWall)
{
	if (targetCacheMinutes != shown.preset.target_minutes || nowWall < targetCacheFrom ||
	    nowWall >= targetCacheValue) {
		targetCacheMinutes = shown.preset.target_minutes;
		targetCacheFrom = nowWall;
		targetCacheValue = nextTargetAfter(nowWall, shown.preset.target_minutes);
	}
	return targetCacheValue;
}

void ShowState::tick()
{
	std::lock_guard<std::mutex> lock(mutex);
	const int64_t now = monotonicNowMs();
	const int64_t wall = wallNowMs();

	// Follow wall-clock changes during an until-time countdown.
	if (shown.countdown.phase == PhaseStandby && !shown.countdown.finished &&
	    shown.countdown.targetWallClock != 0) {
		const int64_t endsAt = shown.countdown.targetWallClock + now - wall;
		if (std::abs(endsAt - shown.countdown.endsAt) > resyncToleranceMs) {
			shown.countdown.endsAt = endsAt;
			++revision_;
		}
	}

	const int64_t left = remainingOf(shown.countdown, shown.preset, now, wall,
					 [this](int64_t w) { return cachedNextTarget(w); });
	const int64_t zero = zeroAtOf(shown.countdown, now);
	const int64_t breakLeft = breakRemainingOf(shown.breakActive, shown.breakEndsAt, shown.preset, now);
	const int64_t messages = shown.preset.messages.size();

	const int64_t inPeriod = now % messagePeriodMs;
	const bool messageChange = messages >= 2 && (inPeriod < 500 || inPeriod > 5500);
	const bool zeroPop = zero >= 0 && now - zero < 700;
	const bool lastTen = zero < 0 && shown.preset.last_ten != 0 && shown.countdown.phase == PhaseStandby &&
			     left >= 1 && left <= 10500;
	if ((messageChange || zeroPop || lastTen) && now - lastAnimationBump >= animationFloorMs) {
		lastAnimationBump = now;
		++revision_;
	}

	const std::array<int64_t, 5> wholeValues{{ceilSeconds(left), ceilSeconds(breakLeft),
						  messages >= 2 ? now / messagePeriodMs : 0, zero >= 0 ? 1 : 0,
						  shown.countdown.phase}};
	if (wholeValues != published) {
		published = wholeValues;
		++revision_;
	}
}

namespace {
std::mutex flowMutex;
FlowStatus flowState;
} // namespace

void publishFlow(const FlowStatus &flow)
{
	std::lock_guard<std::mutex> lock(flowMutex);
	compat::assignCopy(flowState, flow);
}

FlowStatus readFlow()
{
	std::lock_guard<std::mutex> lock(flowMutex);
	return flowState;
}
