#pragma once

#include <QString>

#include <cstdint>

struct obs_data;
typedef struct obs_data obs_data_t;

// What CurtainUp started itself and still owns, kept in "config.json" under
// "started_outputs": after a crash it comes back. An orderly exit of OBS stops the outputs
// as a person would, and clears the record first.
struct StartedOutputs {
	bool active = false; // something of CurtainUp's runs
	bool stream = false;
	bool recording = false;
	int64_t writtenAtWallMs = 0; // not part of the equality

	bool operator==(const StartedOutputs &other) const;
	bool operator!=(const StartedOutputs &other) const { return !(*this == other); }
};

// A new data object (the caller owns the reference).
obs_data_t *startedOutputsToData(const StartedOutputs &outputs);
bool startedOutputsFromData(obs_data_t *object, StartedOutputs &outputs, QString &error);

// Whether a record read after a crash still brings its outputs back at `nowWallMs`: it
// was written on this clock's past, within the hours a show day lasts.
bool startedOutputsOwed(const StartedOutputs &outputs, int64_t nowWallMs);

const StartedOutputs &storedStartedOutputs();
// Keeps the record and writes the configuration file when it changed.
void storeStartedOutputs(const StartedOutputs &outputs);
void readStartedOutputs(obs_data_t *config);
void writeStartedOutputs(obs_data_t *config);
