#pragma once

#include <QString>

#include <string>

// The two keys of the crew's page links, kept in "crew_keys.json" beside "config.json":
// readable by the user only and written without a backup, so that no older copy can bring
// a replaced key back. Each is 128 bits from the system's secure random source, as 32 hex
// digits. UI thread.
struct CrewKeys {
	std::string view;    // reads only
	std::string control; // reads and acts
};

QString crewKeysPath();
// The kept keys; new ones (written at once) when there are none or the file is unusable.
CrewKeys crewKeys();
// New keys in place of the old ones; an empty view key when they could not be written.
CrewKeys renewCrewKeys();
