#pragma once

#include "settings/preset.h"

#include <QString>

#include <functional>
#include <vector>

// The ordered list of presets with one current entry. UI thread only; other threads see
// the current preset through the shared show state's copy.

int presetCount();
int currentIndex();
Preset &currentPreset();
// A copy of the current preset, or the defaults while the list is empty.
Preset selectedPreset();
Preset &presetAt(int index);
int findPreset(const QString &name);
QString uniquePresetName(const QString &base);

void selectPreset(int index);
void updateCurrentPreset(const Preset &preset);
int addPreset(const Preset &preset);
void removePreset(int index);
// Replaces an old source name in every preset and in the pending music restore.
void renameSourceInPresets(const QString &oldName, const QString &newName);

// What the store tells those who follow it (the show, the dock), in the order they came.
enum class PresetEvent {
	// Someone is about to act on the current preset: edits still waiting to be written
	// (text typed a moment ago) go into it now.
	EditsWanted,
	// The current preset or the list changed: a choice, an edit, a rename, a load.
	Changed,
};
using PresetListener = std::function<void(PresetEvent)>;
// Returns the id that removes the listener again.
int addPresetListener(PresetListener listener);
void removePresetListener(int id);
// Tells the listeners of an EditsWanted.
void settlePresetEdits();
// Tells the listeners that the current preset changed (the configuration was loaded).
void announcePresetChange();

// For loading and unloading the configuration.
std::vector<Preset> &presetList();
void setCurrentIndex(int index);
