#include "remote/websocket_events.h"

#include "remote/websocket_requests.h"
#include "show/show_state.h"

#include <obs.hpp>

#include <algorithm>

namespace {

int64_t wholeSecondsLeft(int64_t ms)
{
	return (std::max<int64_t>(0, ms) + 999) / 1000;
}

} // namespace

WebsocketEvents::WebsocketEvents(Send send_) : send(std::move(send_)), tickKind(PhaseIdle)
{
	tickTimer.setSingleShot(true);
	tickTimer.setTimerType(Qt::PreciseTimer);
	connect(&tickTimer, &QTimer::timeout, this, [this] { followCountdown(showState().snapshot()); });
}

void WebsocketEvents::follow(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &saveProblem)
{
	lastFlow = flow;
	lastSaveProblem = saveProblem;
	// A tick at zero comes before the change of step that zero brings.
	followCountdown(snapshot);
	const ShowReport report = composeShowReport(snapshot, flow, saveProblem);
	if (lastState && report.sameStateAs(*lastState))
		return;
	// The first poll only learns where the show stands: nobody saw a change.
	const bool changed = lastState.has_value();
	lastState = report;
	if (changed) {
		OBSDataAutoRelease data = obs_data_create();
		writeShowReport(data, report);
		send("StateChanged", data);
	}
}

void WebsocketEvents::followCountdown(const ShowSnapshot &snapshot)
{
	int kind = PhaseIdle;
	int64_t endsAt = 0;
	int64_t left = 0;
	if (snapshot.countdown.phase == PhaseStandby) {
		kind = PhaseStandby;
		endsAt = snapshot.countdown.endsAt;
		left = snapshot.remainingMs();
	} else if (snapshot.countdown.phase == PhaseBreak && snapshot.breakActive) {
		kind = PhaseBreak;
		endsAt = snapshot.breakEndsAt;
		left = snapshot.breakRemainingMs();
	}

	const int64_t second = wholeSecondsLeft(left);
	if (kind != tickKind) {
		// The countdown followed so far is gone: it reached zero if its end has come (the
		// flow may move on at zero before this sees it), else it was stopped.
		if (tickKind != PhaseIdle && lastSecond > 0 && snapshot.nowMono >= tickEndsAt)
			sendTick(snapshot, tickKind, 0);
		tickKind = kind;
	} else if (second < lastSecond) {
		sendTick(snapshot, kind, std::max<int64_t>(0, left));
	}
	// More time, or a new run, is followed from its own count.
	lastSecond = second;
	tickEndsAt = endsAt;

	if (kind == PhaseIdle || second == 0) {
		tickTimer.stop();
		return;
	}
	const int64_t untilNextSecond = left - (second - 1) * 1000;
	tickTimer.start(static_cast<int>(std::clamp<int64_t>(untilNextSecond, 1, 1000)));
}

void WebsocketEvents::sendTick(const ShowSnapshot &snapshot, int kind, int64_t remainingMs)
{
	ShowReport report = composeShowReport(snapshot, lastFlow, lastSaveProblem);
	report.remainingMs = remainingMs;
	OBSDataAutoRelease data = obs_data_create();
	writeShowReport(data, report);
	obs_data_set_string(data, "kind", phaseName(kind));
	send("CountdownTick", data);
}
