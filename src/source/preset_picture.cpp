#include "director/show_state.h"

PresetPicture preparePresetPicture(Preset &)
{
	return PresetPicture();
}
