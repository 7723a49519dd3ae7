#pragma once

#include <QString>

struct obs_data;
typedef struct obs_data obs_data_t;

// Where the crew's page is served, kept in "config.json" under "crew" (not per preset). A
// file without it reads the defaults: off, this computer only, port 4460.
struct CrewSettings {
	bool on = false;
	bool lan = false; // every IPv4 interface; else 127.0.0.1 only
	int port = 4460;
	// The address the links carry on the local network; empty: the first private one.
	QString address;

	bool operator==(const CrewSettings &other) const;
	bool operator!=(const CrewSettings &other) const { return !(*this == other); }
};

// The ports the page may use: the registered ones, above the privileged range.
constexpr int crewPortMin = 1024;
constexpr int crewPortMax = 65535;

const char *crewNetworkName(bool lan); // "lan" or "computer"

// UI thread.
const CrewSettings &crewSettings();
// Keeps the settings and writes the file when they changed.
void storeCrewSettings(const CrewSettings &settings);
void readCrewSettings(obs_data_t *config);
void writeCrewSettings(obs_data_t *config);
