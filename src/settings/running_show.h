#pragma once

#include <QString>

#include <cstdint>

struct obs_data;
typedef struct obs_data obs_data_t;

// The standby or break countdown that runs, kept in "config.json" under "running_show" so
// that the show goes on after OBS is restarted or crashed. Its end is on the wall clock:
// monotonic times do not survive the process.
enum class RunningPhase { Standby, Break };

struct RunningShow {
	bool active = false;
	RunningPhase phase = RunningPhase::Standby;
	int64_t endsAtWallMs = 0;
	bool held = false;
	QString holdReason;
	QString returnScene; // the scene a break interrupted
	// When the record was last written to the file, on the wall clock; 0 in files from
	// before it was kept. Not part of the record's equality.
	int64_t writtenAtWallMs = 0;

	bool operator==(const RunningShow &other) const;
	bool operator!=(const RunningShow &other) const { return !(*this == other); }
};

// A new data object (the caller owns the reference).
obs_data_t *runningShowToData(const RunningShow &show);
// False for a record that cannot be used, with the reason in `error`.
bool runningShowFromData(obs_data_t *object, RunningShow &show, QString &error);

// What a record found at start means at the wall time `nowWallMs`.
enum class RestartCase {
	WrittenInFuture,  // written later than now: the wall clock went back since
	GoesOn,           // its end is still ahead
	EndedWhileClosed, // its end passed while OBS was closed
	DaysOld,          // it ended more than a day ago: nobody waits for it any more
	TooFarAhead,      // its end lies further ahead than any countdown runs
};
RestartCase restartCase(const RunningShow &show, int64_t nowWallMs);

// The record of this process: read with the configuration, written with it.
const RunningShow &storedRunningShow();
// Keeps the record and writes the configuration file when it changed.
void storeRunningShow(const RunningShow &show);
// For the configuration file: reads "running_show" (null or absent: none; a record that
// cannot be used is dropped with one log line) and writes it, stamped with the time of
// writing, while one is kept.
void readRunningShow(obs_data_t *config);
void writeRunningShow(obs_data_t *config);
