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
	// A hold placed while armed holds the go-live, over a restart too.
	bool held = false;
	QString holdReason;
	// When the record was last written to the file; not part of the equality.
	int64_t writtenAtWallMs = 0;

	bool operator==(const ArmedShow &other) const;
	bool operator!=(const ArmedShow &other) const { return !(*this == other); }
};

// A new data object (the caller owns the reference).
obs_data_t *armedShowToData(const ArmedShow &show);
// False for a record that cannot be used, with the reason in `error`.
bool armedShowFromData(obs_data_t *object, ArmedShow &show, QString &error);

// Why these times cannot be armed at `nowWallMs` (a short English sentence), or empty:
// the show time lies ahead, no more than seven days, and the go-live before it by no
// more than the longest lead. A request and a record read back obey the same bounds.
QString armingTimesRefusal(int64_t goLiveAtWallMs, int64_t showAtWallMs, int64_t nowWallMs);

// What an arming found at start means at the wall time `nowWallMs`. Its times are on the
// wall clock, so when the record was written does not matter.
enum class ArmedRestart {
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
