#pragma once

#include "settings/preset.h"

#include <QString>

#include <optional>

struct obs_data;
struct obs_data_array;
typedef struct obs_data obs_data_t;
typedef struct obs_data_array obs_data_array_t;

// "config.json" in the module's configuration folder: the presets, the current index,
// the dock placement flag, a pending music-volume restore and the hotkey bindings.

QString configPath();
// Tests point the file elsewhere; an empty path goes back to the host's folder.
void setConfigPathOverride(const QString &path);

void loadConfig();
void saveConfig();
// The locale text of the problem while writing the file fails (one warning is logged per
// failing stretch); empty once a write succeeds.
QString configSaveProblem();
// Drops the hotkey data and the presets (module unload).
void releaseConfig();

// A first-release file's settings as one preset.
Preset migrateFirstRelease(obs_data_t *old);

bool dockShown();
void setDockShown();

struct MusicRestore {
	bool pending = false;
	QString source;
	double volume = 1.0;
};
MusicRestore bgmRestore();
// A stored music volume that the mixer may be given: finite and within the host's range
// (a value just outside is clamped), or nothing.
std::optional<double> usableMusicVolume(double stored);
void setBgmRestore(const QString &source, double volume);
void clearBgmRestore();
// Follows a source's new name without writing the file; true when it changed.
bool renameBgmRestoreSource(const QString &oldName, const QString &newName);

// The array stored for a hotkey name (a new reference, or null).
obs_data_array_t *hotkeyBinding(const char *name);
// True when the array differs from the one stored before (none counts as nothing bound).
bool storeHotkeyBinding(const char *name, obs_data_array_t *binding);
