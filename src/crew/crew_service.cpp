#include "crew/crew_service.h"

#include "base/module_host.h"
#include "crew/crew_addresses.h"
#include "crew/crew_page.h"
#include "remote/websocket_api.h"
#include "remote/websocket_requests.h"
#include "settings/config.h"

#include <obs.hpp>

#include <QDateTime>

#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<CrewService> service;

// The remote's action, as obs-websocket's callers have it answered. A refusal that asks
// the caller for "restart" is asked of the person on the page instead.
CrewServer::Answer runPageAction(const std::string &request, const std::string &dataJson)
{
	OBSDataAutoRelease data = obs_data_create_from_json(dataJson.c_str());
	OBSDataAutoRelease response = obs_data_create();
	const QString error = callVendorRequest(request.c_str(), data, response);
	return {error.toStdString(), request == "StartStandby" && error.contains(QLatin1String("\"restart\": true"))};
}

QString link(const CrewSettings &settings, const char *route, const std::string &key)
{
	const QString host = settings.lan ? crewLinkAddress(settings.address) : QStringLiteral("127.0.0.1");
	return QStringLiteral("http://%1:%2/%3?key=%4")
		.arg(host)
		.arg(settings.port)
		.arg(QLatin1String(route), QString::fromStdString(key));
}

} // namespace

CrewService::CrewService()
    : server(worker, runPageAction, [] { return QDateTime::currentMSecsSinceEpoch(); })
{
	setCrewPageControl(this);
	apply();
}

CrewService::~CrewService()
{
	setCrewPageControl(nullptr);
	server.stop();
}

CrewPageStatus CrewService::status() const
{
	CrewPageStatus status;
	status.settings = crewSettings();
	status.problem = problem;
	if (server.running()) {
		status.viewUrl = link(status.settings, "view", keys.view);
		status.controlUrl = link(status.settings, "control", keys.control);
	}
	return status;
}

CrewPageStatus CrewService::change(const CrewSettings &settings, bool newKeys)
{
	const bool renewed = newKeys && !(keys = renewCrewKeys()).view.empty();
	if (renewed)
		moduleLog(LOG_INFO, "crew page: new keys; the pages opened with the old ones are closed");
	if (settings != crewSettings() || renewed) {
		storeCrewSettings(settings);
		apply();
	}
	return status();
}

void CrewService::apply()
{
	server.stop();
	problem.clear();
	const CrewSettings &settings = crewSettings();
	if (settings.on) {
		if (keys.view.empty())
			keys = crewKeys();
		CrewServer::Options options;
		options.address = settings.lan ? "0.0.0.0" : "127.0.0.1";
		options.port = uint16_t(settings.port);
		options.viewKey = keys.view;
		options.controlKey = keys.control;
		options.ownNames = crewOwnNames();
		options.page.assign(reinterpret_cast<const char *>(crewPageHtml), crewPageHtmlSize);
		std::string error;
		if (keys.view.empty())
			problem = moduleText("Crew.KeysNotWritten");
		else if (!server.start(options, error))
			problem = moduleText("Crew.CannotListen").arg(settings.port).arg(QString::fromStdString(error));
		if (problem.isEmpty())
			moduleLog(LOG_INFO, "crew page on %s:%d", options.address.c_str(), settings.port);
		else
			moduleLog(LOG_WARNING, "crew page: %s", qUtf8Printable(problem));
	}
	sentReport.reset();
	Q_EMIT changed();
}

void CrewService::follow(const ShowReport &report, int64_t nowWallMs, bool streaming, bool recording)
{
	if (!server.running())
		return;
	// The pages count on by themselves: a countdown that keeps its end is no change.
	const int64_t endWallMs = report.counting ? nowWallMs + report.remainingMs : -1;
	if (sentReport && sentReport->sameStateAs(report) && std::llabs(endWallMs - sentEndWallMs) < 250 &&
	    streaming == sentStreaming && recording == sentRecording)
		return;
	sentReport = report;
	sentEndWallMs = endWallMs;
	sentStreaming = streaming;
	sentRecording = recording;

	OBSDataAutoRelease data = obs_data_create();
	obs_data_set_string(data, "type", "state");
	obs_data_set_int(data, "server_ms", nowWallMs);
	writeShowReport(data, report);
	obs_data_set_bool(data, "streaming", streaming);
	obs_data_set_bool(data, "recording", recording);
	server.publish(obs_data_get_json(data));
}

CrewService *crewService()
{
	return service.get();
}

void startCrewService()
{
	if (!service)
		service = std::make_unique<CrewService>();
}

void stopCrewService()
{
	service.reset();
}
