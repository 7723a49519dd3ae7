#include "module/show_watch.h"

#include "crew/crew_service.h"
#include "director/director.h"
#include "director/running_show_keeper.h"
#include "remote/websocket_api.h"
#include "remote/published_show.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <obs-frontend-api.h>

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
	// What changes with time alone (a problem line's 10 s) reaches the readers too.
	director->publishFlow();
	keepRunningShow(runningShowAt(snapshot, flow, director->breakReturnScene()));
	websocketFollowShow(snapshot, flow);
	if (CrewService *crew = crewService())
		crew->follow(composeShowReport(snapshot, flow, publishedShow().saveProblem), snapshot.nowWall, obs_frontend_streaming_active(),
			     obs_frontend_recording_active());
}

} // namespace

void startShowWatch()
{
	if (pollTimer)
		return;
	resumeRunningShow();
	startWebsocketApi();
	startCrewService();
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
	// After the hand-off has closed: an action of a page still waiting for the UI thread is
	// answered at once, and the worker ends.
	stopCrewService();
}
