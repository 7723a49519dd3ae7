// Every scene change goes through one queue: one switch at a time, never during a running
// transition, with the requested transition and length for that switch only.
#include "director/director.h"

#include "base/clock.h"
#include "base/module_host.h"

namespace {

// A switch is over once the transition has been idle for this many ticks in a row, and
// no sooner than the minimum after it was made.
constexpr int idleTicksToFinish = 3;
constexpr int64_t minimumSwitchMs = 100;
// A host that never reports the end of its transition is given up on, whether the switch
// was made or still waits for that transition to end.
constexpr int64_t switchGiveUpMs = 30000;

void runCallbacks(const SwitchRequest &request)
{
	for (const std::function<void()> *callback : {&request.beforeSwitch, &request.onStarted, &request.onFinished}) {
		if (*callback)
			(*callback)();
	}
}

} // namespace

void Director::queueSwitch(const QString &scene, const TransitionChoice &transition, Action onStarted,
			   Action onFinished, bool holdGated, Action beforeSwitch)
{
	SwitchRequest request;
	request.scene = scene;
	request.transition = transition.name;
	request.durationMs = transition.ms;
	request.onStarted = std::move(onStarted);
	request.onFinished = std::move(onFinished);
	request.holdGated = holdGated;
	request.beforeSwitch = std::move(beforeSwitch);
	switchQueue.push_back(std::move(request));
	pumpSwitches(monotonicNowMs());
}

void Director::pumpSwitches(int64_t now)
{
	if (switchInFlight) {
		if (now - switchStartedAt < minimumSwitchMs || host->transitionActive()) {
			idleTicks = 0;
		} else if (++idleTicks >= idleTicksToFinish) {
			finishSwitch();
			return;
		}
		if (now - switchStartedAt > switchGiveUpMs)
			finishSwitch();
		return;
	}

	if (switchQueue.empty())
		return;
	if (host->transitionActive()) {
		waitOutTransition(now);
		return;
	}
	if (switchQueue.front().holdGated && held) {
		checkHold(holdLocation(), [this] { pumpSwitches(monotonicNowMs()); });
		return;
	}
	SwitchRequest request = std::move(switchQueue.front());
	switchQueue.pop_front();
	performSwitch(std::move(request), now);
}

void Director::waitOutTransition(int64_t now)
{
	SwitchRequest &front = switchQueue.front();
	if (front.holdGated && held) {
		front.blockedSince = -1; // kept for the resume: it waits for a person, not for the host
		return;
	}
	if (front.blockedSince < 0)
		front.blockedSince = now;
	if (now - front.blockedSince <= switchGiveUpMs)
		return;
	// A transition that never ends (a studio-mode T-bar left half-way) is the operator's:
	// the switch is not forced through it, and the flow goes on as for a missing scene.
	SwitchRequest request = std::move(front);
	switchQueue.pop_front();
	reportMissing("Problem.SwitchGivenUp", request.scene);
	runCallbacks(request);
}

void Director::performSwitch(SwitchRequest request, int64_t now)
{
	const HostSourcePtr scene = request.scene.isEmpty() ? nullptr : host->findSource(request.scene);
	if (!scene || !scene->isScene()) {
		reportMissing("Problem.SceneMissing", request.scene);
		runCallbacks(request);
		return;
	}
	if (request.scene == host->currentSceneName()) {
		moduleLog(LOG_INFO, "already on scene '%s'", qUtf8Printable(request.scene));
		runCallbacks(request);
		return;
	}

	savedTransition = host->currentTransitionName();
	savedDuration = host->transitionDurationMs();
	restoreTransition = restoreDuration = false;
	if (!request.transition.isEmpty() && request.transition != savedTransition) {
		if (host->setCurrentTransition(request.transition))
			restoreTransition = host->currentTransitionName() == request.transition;
		else
			reportMissing("Problem.TransitionMissing", request.transition);
	}
	if (request.durationMs > 0 && request.durationMs != savedDuration) {
		host->setTransitionDurationMs(request.durationMs);
		restoreDuration = true;
	}
	moduleLog(LOG_INFO, "switching to '%s' with '%s' (%d ms)", qUtf8Printable(request.scene),
		  qUtf8Printable(host->currentTransitionName()), host->transitionDurationMs());

	if (request.beforeSwitch)
		request.beforeSwitch();
	host->setCurrentScene(request.scene);
	switchInFlight = true;
	switchStartedAt = now;
	idleTicks = 0;
	currentSwitch = std::move(request);
	const Action started = currentSwitch.onStarted;
	if (started)
		started();
}

void Director::finishSwitch()
{
	switchInFlight = false;
	putBackTransition();
	moduleLog(LOG_INFO, "now on scene '%s'", qUtf8Printable(host->currentSceneName()));

	SwitchRequest done = std::move(currentSwitch);
	currentSwitch = SwitchRequest();
	if (done.onFinished)
		done.onFinished();
}

void Director::putBackTransition()
{
	if (restoreTransition)
		host->setCurrentTransition(savedTransition);
	if (restoreDuration)
		host->setTransitionDurationMs(savedDuration);
	if (restoreTransition || restoreDuration)
		moduleLog(LOG_INFO, "transition back to '%s' (%d ms)", qUtf8Printable(host->currentTransitionName()),
			  host->transitionDurationMs());
	restoreTransition = restoreDuration = false;
}

bool Director::onCloseRequested()
{
	// The host saves the transition and length current when it closes as the operator's.
	// OBS 32 keeps the running transition current until it has ended, whatever is set
	// meanwhile: a switch in flight is ended at once and the close comes again a moment later,
	// when the operator's transition can be put back. Closed by a signal, OBS 32 has already
	// saved before it asks its window to close: it saves again with the operator's transition.
	const bool putBack = restoreTransition || restoreDuration;
	if (!closeHeldBack && switchInFlight && putBack && host->transitionActive()) {
		closeHeldBack = true;
		host->finishTransitionNow();
		moduleLog(LOG_INFO, "closing: the switch to '%s' ends first", qUtf8Printable(currentSwitch.scene));
		return false;
	}
	closeHeldBack = false;
	putBackTransition();
	if (putBack)
		host->saveSceneCollection();
	return true;
}

bool Director::holdGatedSwitchWaiting() const
{
	return !switchQueue.empty() && switchQueue.front().holdGated;
}
