#include "settings/crew_settings.h"

#include "base/data_fields.h"
#include "base/module_host.h"
#include "settings/config.h"

#include <obs.hpp>

namespace {

constexpr char crewKey[] = "crew";
CrewSettings keptCrew;

} // namespace

bool CrewSettings::operator==(const CrewSettings &other) const
{
	return on == other.on && lan == other.lan && port == other.port && address == other.address;
}

const char *crewNetworkName(bool lan)
{
	return lan ? "lan" : "computer";
}

const CrewSettings &crewSettings()
{
	return keptCrew;
}

void storeCrewSettings(const CrewSettings &settings)
{
	if (settings == keptCrew)
		return;
	keptCrew = settings;
	saveConfig();
}

void readCrewSettings(obs_data_t *config)
{
	keptCrew = CrewSettings();
	OBSDataAutoRelease object = config ? obs_data_get_obj(config, crewKey) : nullptr;
	if (!object)
		return;
	DataFields fields(object);
	const std::optional<bool> on = fields.boolean("on", DataFields::Optional);
	const QString network = fields.text("network", DataFields::Optional);
	const std::optional<int64_t> port = fields.integer("port", crewPortMin, crewPortMax, DataFields::Optional);
	const QString address = fields.text("address", DataFields::Optional);
	if (!fields.ok() || (!network.isEmpty() && network != QLatin1String("lan") && network != QLatin1String("computer"))) {
		moduleLog(LOG_WARNING, "crew page settings ignored: %s",
			  fields.ok() ? "'network' must be \"computer\" or \"lan\"." : qUtf8Printable(fields.error()));
		return;
	}
	keptCrew.on = on.value_or(false);
	keptCrew.lan = network == QLatin1String("lan");
	keptCrew.port = int(port.value_or(keptCrew.port));
	keptCrew.address = address;
}

void writeCrewSettings(obs_data_t *config)
{
	if (keptCrew == CrewSettings())
		return;
	OBSDataAutoRelease object = obs_data_create();
	obs_data_set_bool(object, "on", keptCrew.on);
	obs_data_set_string(object, "network", crewNetworkName(keptCrew.lan));
	obs_data_set_int(object, "port", keptCrew.port);
	obs_data_set_string(object, "address", keptCrew.address.toUtf8().constData());
	obs_data_set_obj(config, crewKey, object);
}
