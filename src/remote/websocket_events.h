#pragma once

#include "show/flow_status.h"
#include "show/show_report.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>

struct obs_data;
typedef struct obs_data obs_data_t;
struct ShowSnapshot;

// The events of the "curtainup" vendor, on the UI thread. Each carries every GetState
// field, since a client may keep only the last event it heard:
// - "StateChanged", once for each change of phase, step, hold, preset or problem;
// - "CountdownTick", also with kind ("standby" or "break"), once each time the whole
//   seconds left of a running countdown go down, down to the one at zero; its remaining_ms
//   is that second's. A timer aimed at each second boundary sends them, so they do not
//   wait for the next poll.
class WebsocketEvents : public QObject {
public:
	// Sends one event; the data stays the caller's.
	using Send = std::function<void(const char *type, obs_data_t *data)>;

	explicit WebsocketEvents(Send send);

	// The show at one poll of the watch (every 50 ms).
	void follow(const ShowSnapshot &snapshot, const FlowStatus &flow, const QString &saveProblem);

private:
	void followCountdown(const ShowSnapshot &snapshot);
	void sendTick(const ShowSnapshot &snapshot, int kind, int64_t remainingMs);

	Send send;
	QTimer tickTimer;
	std::optional<ShowReport> lastState;
	// What the last poll saw of the flow, for the ticks in between.
	FlowStatus lastFlow;
	QString lastSaveProblem;
	// The countdown whose seconds are counted: its phase (idle: none), its end on the
	// monotonic clock and the whole seconds it had left when last seen.
	int tickKind;
	int64_t tickEndsAt = 0;
	int64_t lastSecond = 0;
};
