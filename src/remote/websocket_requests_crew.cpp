// The requests of the message to the presenter and of the crew's page.
#include "base/data_fields.h"
#include "remote/crew_page_control.h"
#include "remote/websocket_request_handlers.h"
#include "settings/presenter_message.h"

#include <obs-data.h>

namespace {

CrewPageControl *installedControl = nullptr;

void writeCrewPageStatus(obs_data_t *response, const CrewPageStatus &status)
{
	obs_data_set_bool(response, "on", status.settings.on);
	obs_data_set_string(response, "network", crewNetworkName(status.settings.lan));
	obs_data_set_int(response, "port", status.settings.port);
	obs_data_set_string(response, "view_url", status.viewUrl.toUtf8().constData());
	obs_data_set_string(response, "control_url", status.controlUrl.toUtf8().constData());
	obs_data_set_string(response, "problem", status.problem.toUtf8().constData());
}

} // namespace

void setCrewPageControl(CrewPageControl *control)
{
	installedControl = control;
}

CrewPageControl *crewPageControl()
{
	return installedControl;
}

QString requestSetMessage(Director &, obs_data_t *request, obs_data_t *)
{
	DataFields fields(request);
	PresenterMessage message;
	message.text = fields.text("text");
	message.blink = fields.boolean("blink", DataFields::Optional).value_or(false);
	if (!fields.ok())
		return fields.error();
	return setPresenterMessage(message);
}

QString requestClearMessage(Director &, obs_data_t *, obs_data_t *)
{
	return setPresenterMessage(PresenterMessage());
}

QString requestCrewPage(Director &, obs_data_t *, obs_data_t *response)
{
	if (!installedControl)
		return QStringLiteral("The crew's page is not available.");
	writeCrewPageStatus(response, installedControl->status());
	return QString();
}

QString requestSetCrewPage(Director &, obs_data_t *request, obs_data_t *response)
{
	if (!installedControl)
		return QStringLiteral("The crew's page is not available.");
	DataFields fields(request);
	CrewSettings settings = installedControl->status().settings;
	settings.on = fields.boolean("on", DataFields::Optional).value_or(settings.on);
	const QString network = fields.text("network", DataFields::Optional);
	const std::optional<int64_t> port = fields.integer("port", crewPortMin, crewPortMax, DataFields::Optional);
	const bool newKeys = fields.boolean("new_keys", DataFields::Optional).value_or(false);
	if (!fields.ok())
		return fields.error();
	if (!network.isEmpty() && network != QLatin1String("computer") && network != QLatin1String("lan"))
		return QStringLiteral("'network' must be \"computer\" or \"lan\".");
	if (!network.isEmpty())
		settings.lan = network == QLatin1String("lan");
	settings.port = int(port.value_or(settings.port));
	writeCrewPageStatus(response, installedControl->change(settings, newKeys));
	return QString();
}
