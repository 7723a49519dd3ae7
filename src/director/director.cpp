// The flow itself: what each operator action and each tick does to the phase and step.
#include "director/director.h"

#include "base/clock.h"
#include "base/module_host.h"
#include "settings/preset_store.h"
#include "settings/running_show.h"
#include "show/show_state.h"

#include <QTimer>

namespace {

constexpr int tickIntervalMs = 50;
constexpr int64_t problemShownMs = 10000;
constexpr int64_t skipFadeMs = 1000;
constexpr int64_t endingMediaDelayMs = 1000;

} // namespace

Director::Director(std::unique_ptr<DirectorHost> hostLink, QObject *parent)
    : QObject(parent), host(std::move(hostLink)), timer(new QTimer(this)), goLiveTimer(new QTimer(this)),
      outputs(
	      *host, [this](const QString &text) { reportProblem(text, true); },
	      [this] {
		      problemUntilOperatorActs = false;
		      problemUntil = 0;
	      })
{
	connect(timer, &QTimer::timeout, this, &Director::tick);
	goLiveTimer->setSingleShot(true);
	goLiveTimer->setTimerType(Qt::PreciseTimer);
	connect(goLiveTimer, &QTimer::timeout, this, &Director::followArming);
	timer->start(tickIntervalMs);
	host->setCloseRequestHandler([this] { return onCloseRequested(); });
	publishFlow();
}

Director::~Director()
{
	timer->stop();
	stopOpWatch();
}

void Director::tick()
{
	const int64_t now = monotonicNowMs();
	const ShowSnapshot snapshot = showState().snapshot();

	followArming();
	outputs.tick(now, held);
	stepFade(now);
	if (snapshot.zeroReached() && step == StepNone)
		afterZero(now);
	if (step == StepAfterZero && !afterZeroPaused && now >= afterZeroDeadline) {
		setStep(StepNone);
		proceedAfterZero();
	}
	if (snapshot.breakOver() && step != StepBackFromBreak)
		returnFromBreak(true);
	if (watch.watching)
		stepOp(now);
	if (endingMediaRestartAt != 0 && now >= endingMediaRestartAt) {
		endingMediaRestartAt = 0;
		restartMediaIfIdle(selectedPreset().ending_media);
	}
	pumpSwitches(now);
}

void Director::startStandby()
{
	// The operator starts the show by hand: an arming for later is over.
	disarm();
	enterStandby(nullptr, 0, 0);
}

void Director::startStandbyFor(int64_t lengthMs)
{
	disarm();
	enterStandby(nullptr, lengthMs, 0);
}

void Director::enterStandby(const RunningShow *resumed, int64_t runLengthMs, int64_t runEndsAtWallMs)
{
	const Preset preset = selectedPreset();
	takeOverFlow(false);
	setStep(StepNone);
	onMain = false;
	bgmFadeStarted = false;
	restoreBgmVolume();

	if (resumed)
		showState().resumeCountdown(resumed->endsAtWallMs);
	else
		showState().startCountdown(runLengthMs, runEndsAtWallMs);
	host->reportPhase("standby");
	if (resumed)
		logResumed(*resumed);
	else
		moduleLog(LOG_INFO, "standby started (preset '%s')", qUtf8Printable(preset.name));
	if (!preset.standby_scene.isEmpty())
		queueSwitch(preset.standby_scene, preset.to_standby, {}, {}, false, {});
}

void Director::afterZero(int64_t now)
{
	showState().finishCountdown();
	if (checkHold(HoldLocation::AfterZero, [this] { afterZero(monotonicNowMs()); }))
		return;

	const Preset preset = selectedPreset();
	setStep(StepAfterZero);
	afterZeroDeadline = now + int64_t(preset.switch_after) * 1000;
	moduleLog(LOG_INFO, "countdown reached zero; switching in %d s", preset.switch_after);
	if (!preset.bgm.isEmpty() && !bgmFadeStarted)
		startFade(preset.bgm, int64_t(preset.switch_after) * 1000, now);
}

void Director::proceedAfterZero()
{
	if (checkHold(HoldLocation::AfterZero, [this] { proceedAfterZero(); }))
		return;

	const Preset preset = selectedPreset();
	if (preset.op_scene.isEmpty() || !host->findSource(preset.op_scene)) {
		if (!preset.op_scene.isEmpty())
			reportMissing("Problem.SceneMissing", preset.op_scene);
		if (!checkHold(HoldLocation::Main, [this] { switchToMain(false); }))
			switchToMain(false);
		return;
	}

	showState().setPhase(PhaseOp);
	setStep(StepOp);
	// The OP media is looked up when the scene is set, in the preset selected then.
	Action watchOpMedia = guarded([this] {
		const Preset current = selectedPreset();
		startOpWatch(current.op_scene, current.op_media);
	});
	Action opening = guarded([this] { host->reportPhase("opening"); });
	queueSwitch(preset.op_scene, preset.to_op, std::move(watchOpMedia), {}, true, std::move(opening));
}

void Director::skipToMain()
{
	operatorActed();
	const int phase = showState().phase();
	const bool heldSwitchToMain = held && step == StepGoingMain && holdGatedSwitchWaiting();
	if (phase != PhaseStandby && phase != PhaseOp && !heldSwitchToMain)
		return;

	const Preset preset = selectedPreset();
	++generation;
	resetFlow();
	showState().finishCountdown();
	if (!preset.bgm.isEmpty() && !bgmFadeStarted)
		startFade(preset.bgm, skipFadeMs, monotonicNowMs());
	moduleLog(LOG_INFO, "skipped to the main scene");
	switchToMain(true);
}

void Director::switchToMain(bool manual)
{
	stopOpWatch();
	showState().setPhase(PhaseIdle);

	const Preset preset = selectedPreset();
	if (preset.main_scene.isEmpty()) {
		setStep(StepNone);
		onMain = true;
		host->reportPhase("opening");
		host->reportPhase("opening_done");
		return;
	}
	setStep(StepGoingMain);
	Action reachedMain = guarded([this] {
		setStep(StepNone);
		onMain = true;
		showState().clearFinished();
		host->reportPhase("opening_done");
	});
	Action opening = guarded([this] { host->reportPhase("opening"); });
	queueSwitch(preset.main_scene, preset.to_main, {}, std::move(reachedMain), !manual, std::move(opening));
}

void Director::toggleBreak()
{
	if (showState().phase() == PhaseBreak)
		endBreak();
	else
		startBreak();
}

void Director::startBreak()
{
	operatorActed();
	if (showState().phase() != PhaseBreak)
		enterBreak(nullptr);
}

void Director::endBreak()
{
	operatorActed();
	returnFromBreak(false);
}

void Director::enterBreak(const RunningShow *resumed)
{
	const Preset preset = selectedPreset();
	// On its way to the main scene, the show goes back there after the break.
	const bool goingMain = step == StepGoingMain && !preset.main_scene.isEmpty();
	takeOverFlow(true);

	// Started on the break scene itself, the earlier way back is kept.
	const QString current = host->currentSceneName();
	if (resumed) {
		returnScene = resumed->returnScene;
	} else if (goingMain) {
		returnScene = preset.main_scene;
		onMain = true;
	} else if (preset.break_scene != current) {
		returnScene = current;
	}

	showState().resetCountdown();
	if (resumed)
		showState().resumeBreakCountdown(resumed->endsAtWallMs);
	else
		showState().startBreakCountdown();
	host->reportPhase("break");
	setStep(StepNone);
	if (resumed)
		logResumed(*resumed);
	else
		moduleLog(LOG_INFO, "break started; back to '%s' afterwards", qUtf8Printable(returnScene));
	if (preset.break_scene.isEmpty())
		reportProblem(moduleText("Problem.NoBreakScene"));
	else
		queueSwitch(preset.break_scene, preset.to_break, {}, {}, false, {});
}

void Director::returnFromBreak(bool automatic)
{
	if (showState().phase() != PhaseBreak)
		return;
	if (step == StepBackFromBreak && !(held && holdGatedSwitchWaiting()))
		return;
	if (automatic && checkHold(HoldLocation::Break, [this] { returnFromBreak(true); }))
		return;

	const Preset preset = selectedPreset();
	++generation;
	resetFlow();
	showState().endBreakNow();
	moduleLog(LOG_INFO, "break over; back to '%s'", qUtf8Printable(returnScene));
	if (returnScene.isEmpty()) {
		showState().leaveBreak();
		setStep(StepNone);
		return;
	}
	setStep(StepBackFromBreak);
	Action backFromBreak = guarded([this] {
		showState().leaveBreak();
		setStep(StepNone);
	});
	queueSwitch(returnScene, preset.from_break, {}, std::move(backFromBreak), automatic, {});
}

void Director::startEnding()
{
	operatorActed();
	const Preset preset = selectedPreset();
	const int64_t now = monotonicNowMs();
	takeOverFlow(true);
	onMain = false;
	showState().resetCountdown();
	showState().setPhase(PhaseEnding);
	host->reportPhase("ending");
	setStep(StepEnding);
	outputs.armStreamStop(preset.stop_stream, int64_t(preset.stop_after) * 1000, held, now);
	moduleLog(LOG_INFO, "ending started%s",
		  outputs.streamStopAt(now) != 0 ? "; the stream stops on the timer" : "");

	if (preset.ending_scene.isEmpty()) {
		reportProblem(moduleText("Problem.NoEndingScene"));
		return;
	}
	const bool hasEndingMedia = !preset.ending_media.isEmpty();
	Action armEndingMedia = guarded([this, hasEndingMedia] {
		if (hasEndingMedia)
			endingMediaRestartAt = monotonicNowMs() + endingMediaDelayMs;
	});
	queueSwitch(preset.ending_scene, preset.to_ending, std::move(armEndingMedia), {}, false, {});
}

void Director::cancel()
{
	disarm();
	takeOverFlow(true);
	outputs.cancel();
	onMain = false;
	setStep(StepNone);
	showState().resetCountdown();
	host->reportPhase("idle");
	moduleLog(LOG_INFO, "stopped");
}

void Director::onStreamingStopped()
{
	outputs.streamStopped(host->lastStreamStopWasClean());
	if (showState().phase() == PhaseEnding) {
		setStep(StepNone);
		showState().resetCountdown();
	}
}

void Director::onRecordingStopped()
{
	outputs.recordingStopped();
}

void Director::onCollectionChanging()
{
	const bool wasArmed = arming.active;
	cancel();
	returnScene.clear();
	// The scenes it was armed for are gone: the operator hears it until the next action.
	if (wasArmed)
		reportProblem(moduleText("Problem.DisarmedByCollection"), true);
}

void Director::shutdown()
{
	takeOverFlow(false);
	// OBS stops the outputs as it closes: an orderly exit is a person's stop.
	outputs.orderlyExit();
	timer->stop();
}

void Director::renameSource(const QString &oldName, const QString &newName)
{
	if (oldName.isEmpty() || oldName == newName)
		return;
	const auto follow = [&](QString &name) {
		if (name == oldName)
			name = newName;
	};
	follow(returnScene);
	for (SwitchRequest &request : switchQueue) {
		follow(request.scene);
		follow(request.transition);
	}
	follow(currentSwitch.scene);
	follow(savedTransition);
}

FlowStatus Director::flowStatus() const
{
	FlowStatus status;
	status.step = step;
	status.afterZeroDeadline = afterZeroDeadline;
	status.hasOpScene = !selectedPreset().op_scene.isEmpty();
	status.stopStreamAt = outputs.streamStopAt(monotonicNowMs());
	if (problemUntilOperatorActs || monotonicNowMs() < problemUntil)
		status.problem = problem;
	status.held = held;
	status.holdReason = holdReason;
	status.holdLocation = holdLocation();
	status.waitingForResume = holdGatedSwitchWaiting();
	status.onMain = onMain;
	status.resumedAfterRestart = resumedAfterRestart;
	status.armed = arming.active;
	status.goLiveAtWallMs = arming.active ? arming.goLiveAtWallMs : -1;
	status.showAtWallMs = arming.active ? arming.showAtWallMs : -1;
	return status;
}

void Director::setStep(int newStep)
{
	step = newStep;
	publishFlow();
}

void Director::takeOverFlow(bool restoreMusic)
{
	++generation;
	resetFlow();
	stopOpWatch();
	stopFade(restoreMusic);
	outputs.dropStreamStop();
	endingMediaRestartAt = 0;
}

void Director::resetFlow()
{
	clearPendingStep();
	switchQueue.clear();
}

void Director::reportProblem(const QString &text, bool untilOperatorActs)
{
	problem = text;
	problemUntil = monotonicNowMs() + problemShownMs;
	problemUntilOperatorActs = untilOperatorActs;
	moduleLog(LOG_WARNING, "%s", qUtf8Printable(text));
}

void Director::operatorActed()
{
	if (problemUntilOperatorActs) {
		problemUntilOperatorActs = false;
		problemUntil = 0;
	}
	resumedAfterRestart = false;
}

void Director::reportMissing(const char *key, const QString &name)
{
	const QString text = moduleText(key);
	reportProblem(text.contains(QLatin1String("%1")) ? text.arg(name) : text);
}

Director::Action Director::guarded(Action action)
{
	const uint64_t madeIn = generation;
	return [this, madeIn, action = std::move(action)] {
		if (generation == madeIn)
			action();
	};
}
