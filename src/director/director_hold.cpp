// Holding the automatic flow ("待った") and resuming it. Only a person may resume; the
// one step kept back runs on resume if no operator action came in between.
#include "director/director.h"

#include "base/clock.h"
#include "base/log_text.h"
#include "base/module_host.h"
#include "show/action_rules.h"
#include "show/show_state.h"

namespace {

// A longer reason is cut: it travels into the dock, "config.json" and every remote event.
constexpr int maxReasonChars = 200;

QByteArray labelText(const QString &label)
{
	return moduleText(label).toUtf8();
}

} // namespace

void Director::hold(bool on, const QString &from, const QString &reason)
{
	if (isPersonSender(from))
		operatorActed();
	const int64_t now = monotonicNowMs();
	if (!on && !isPersonSender(from)) {
		moduleLog(LOG_WARNING, "再開を拒否: from='%s' は人の操作ではありません", logText(from).constData());
		return;
	}

	if (on) {
		const bool wasHeld = held;
		held = true;
		holdReason = cutText(reason, maxReasonChars);
		showState().setHeld(true);
		publishFlow();
		moduleLog(LOG_INFO, "待った: from='%s' reason='%s'", logText(from).constData(),
			  logText(reason).constData());
		if (!wasHeld && step == StepAfterZero)
			pauseAfterZero(now);
		outputs.hold(now);
		keepArming();
		return;
	}

	if (!held)
		return;
	held = false;
	holdReason.clear();
	showState().setHeld(false);
	publishFlow();
	moduleLog(LOG_INFO, "再開: from='%s'", logText(from).constData());

	PendingStep taken = std::move(pendingStep);
	pendingStep = PendingStep();
	resumeAfterZero(now);
	keepArming();
	// Resumed before the show time, a go-live held back goes live at once; what was to
	// come back after a crash comes back.
	followArming();
	outputs.resume(now);
	if (taken.action && taken.generation == generation) {
		moduleLog(LOG_INFO, "再開で進めた一歩: %s (gen=%llu)", labelText(taken.label).constData(),
			  static_cast<unsigned long long>(taken.generation));
		taken.action();
	}
}

void Director::toggleHold()
{
	const bool on = !held;
	const QString reason = held ? QString() : QStringLiteral("CurtainUp の待つ");
	hold(on, QStringLiteral("curtainup"), reason);
	host->reportHold(on, reason);
}

bool Director::checkHold(const QString &location, Action action)
{
	if (!held)
		return false;
	// The first step kept in a generation wins; later ones meet the same hold point.
	if (pendingStep.action && pendingStep.generation == generation)
		return true;
	pendingStep = PendingStep{generation, location, std::move(action)};
	moduleLog(LOG_INFO, "保留した一歩: %s (gen=%llu)", labelText(location).constData(),
		  static_cast<unsigned long long>(generation));
	return true;
}

void Director::pauseAfterZero(int64_t now)
{
	if (afterZeroPaused)
		return;
	afterZeroPaused = true;
	pausedGeneration = generation;
	afterZeroRemaining = std::max<int64_t>(0, afterZeroDeadline - now);
	pauseFade(now);
	checkHold(HoldLocation::AfterZero, [this] {
		if (step == StepAfterZero && monotonicNowMs() >= afterZeroDeadline) {
			setStep(StepNone);
			proceedAfterZero();
		}
	});
}

void Director::resumeAfterZero(int64_t now)
{
	if (!afterZeroPaused)
		return;
	afterZeroPaused = false;
	if (generation == pausedGeneration) {
		afterZeroDeadline = now + afterZeroRemaining;
		unpauseFade(now);
	}
}

void Director::clearPendingStep()
{
	pendingStep = PendingStep();
	afterZeroPaused = false;
	unpauseFade(monotonicNowMs());
}

QString Director::holdLocation() const
{
	if (arming.active)
		return QString::fromLatin1(HoldLocation::GoLive);
	// The switch to the OP scene has not been made yet.
	if (holdGatedSwitchWaiting() && step == StepOp)
		return QString::fromLatin1(HoldLocation::AfterZero);
	if (pendingStep.action && pendingStep.generation == generation)
		return pendingStep.label;

	switch (step) {
	case StepAfterZero:
		return QString::fromLatin1(HoldLocation::AfterZero);
	case StepOp:
		return QString::fromLatin1(HoldLocation::Op);
	case StepOpNoMedia:
		return QString::fromLatin1(HoldLocation::OpNoMedia);
	case StepGoingMain:
		return QString::fromLatin1(HoldLocation::Main);
	case StepEnding:
		return QString::fromLatin1(HoldLocation::Ending);
	default:
		break;
	}

	const int phase = showState().phase();
	if (phase == PhaseStandby)
		return QString::fromLatin1(HoldLocation::Countdown);
	if (phase == PhaseBreak)
		return QString::fromLatin1(HoldLocation::Break);
	if (phase != PhaseIdle || step != StepNone)
		return QString::fromLatin1(HoldLocation::Other);
	return QString::fromLatin1(HoldLocation::BeforeStart);
}

void Director::publishFlow() const
{
	::publishFlow(flowStatus());
}
