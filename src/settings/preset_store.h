#pragma once

#include "settings/preset.h"

#include <QString>
#include <vector>

// The ordered list of presets with one current entry. UI thread only; other threads see
// the current preset through the shared show state's copy.

int presetCount();
int currentIndex();
Preset &currentPreset();
Preset &presetAt(int index);
int findPreset(const QString &name);
QString uniquePresetName(const QString &base);

void selectPreset(int index);
void updateCurrentPreset(const Preset &preset);
int addPreset(const Preset &preset);
void removePreset(int index);
// Replaces an old source name in every preset and in the pending music restore.
void renameSourceInPresets(const QString &oldName, const QString &newName);
void applyCurrentPreset();

// For loading and unloading the configuration.
std::vector<Preset> &presetList();
void setCurrentIndex(int index);
