#include "module/show_watch.h"

#include "director/director.h"
#include "director/running_show_keeper.h"
#include "remote/websocket_api.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <QTimer>

#include <memory>

namespace {

constexpr int pollMs = 50;

std::unique_ptr<QTimer> pollTimer;

void poll()
{
	const Director *director = directorInstance();
	if (!director)
		return;
	const ShowSnapshot snapshot = showState().snapshot();
	const FlowStatus flow = director->flowStatus();
	keepRunningShow(runningShowAt(snapshot, flow, director->breakReturnScene()));
	websocketFollowShow(snapshot, flow);
}

} // namespace

void startShowWatch()
{
	if (pollTimer)
		return;
	resumeRunningShow();
	startWebsocketApi();
	// The remote's readers see the show from the first answer on.
	poll();
	pollTimer = std::make_unique<QTimer>();
	QObject::connect(pollTimer.get(), &QTimer::timeout, poll);
	pollTimer->start(pollMs);
}

void stopShowWatch()
{
	pollTimer.reset();
	// Also when the host closes before it finished loading: the vendor's requests exist
	// from the module's post-load on.
	stopWebsocketApi();
}
