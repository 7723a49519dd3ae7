#pragma once

#include "show/show_state.h"

// Puts presets into a show state together with the picture made from them. UI thread:
// the picture texts come from the module's locale.

// The font file's family (written into the preset), the picture glyphs, the picture
// texts and the natural sizes of both kinds.
PresetPicture preparePresetPicture(Preset &preset);
void showPreset(ShowState &state, const Preset &preset);
// Shows the state's preset again after reading its picture folder afresh.
void reloadShownGlyphs(ShowState &state);
// From now on the current preset of the store is shown in the process's show state
// whenever it changes. Once per process, before the configuration is loaded.
void showPresetChanges();
