#pragma once

#include <QString>

#include <cstdint>

struct obs_data;
typedef struct obs_data obs_data_t;

// The unattended show armed for a time, kept in "config.json" under "armed_show" beside
// the running show, so that a restart of OBS keeps it. Times on the wall clock.
struct ArmedShow {
	bool active = false;
	int64_t goLiveAtWallMs = 0; // when the stream starts and the standby with it
	int64_t showAtWallMs = 0;   // when the standby countdown reaches zero
	// When the record was last written to the file; not part of the equality.
	int64_t writtenAtWallMs = 0;

	bool operator==(const ArmedShow &other) const;
	bool operator!=(const ArmedShow &other) const { return !(*this == other); }
};

// A new data object (the caller owns the reference).
obs_data_t *armedShowToData(const ArmedShow &show);
// False for a record that cannot be used, with the reason in `error`.
bool armedShowFromData(obs_data_t *object, ArmedShow &show, QString &error);

// What an arming found at start means at the wall time `nowWallMs`.
enum class ArmedRestart {
	WrittenInFuture, // written later than now: the wall clock went back since
	StaysArmed,      // the go-live is still ahead
	GoesLiveNow,     // between the go-live and the show time
	Missed,          // the show time passed while OBS was closed
};
ArmedRestart armedRestartCase(const ArmedShow &show, int64_t nowWallMs);

// The record of this process: read with the configuration, written with it.
const ArmedShow &storedArmedShow();
// Keeps the record and writes the configuration file when it changed.
void storeArmedShow(const ArmedShow &show);
void readArmedShow(obs_data_t *config);
void writeArmedShow(obs_data_t *config);
