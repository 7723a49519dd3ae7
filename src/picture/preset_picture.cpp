#include "picture/preset_picture.h"

#include "picture/fonts.h"
#include "picture/frame_layout.h"
#include "picture/glyph_images.h"
#include "settings/preset_store.h"
#include "show/picture_texts.h"

PresetPicture preparePresetPicture(Preset &preset)
{
	const QString family = loadFontFile(preset.style.font_file);
	if (!family.isEmpty())
		preset.style.font = family;

	PresetPicture picture;
	picture.glyphs = glyphsForFolder(preset.style.image_folder, false);
	picture.texts = currentPictureTexts();
	picture.standbySize = measureFrame(preset, picture.glyphs.get(), picture.texts, KindStandby);
	picture.breakSize = measureFrame(preset, picture.glyphs.get(), picture.texts, KindBreak);
	return picture;
}

void showPreset(ShowState &state, const Preset &preset)
{
	// The slow part (font file, pictures, measuring) runs before the state's lock is taken.
	Preset copy = preset;
	PresetPicture picture = preparePresetPicture(copy);
	state.applyPreset(copy, std::move(picture));
}

void reloadShownGlyphs(ShowState &state)
{
	const Preset shown = state.snapshot().preset;
	glyphsForFolder(shown.style.image_folder, true);
	showPreset(state, shown);
}

void showPresetChanges()
{
	addPresetListener([](PresetEvent event) {
		if (event == PresetEvent::Changed)
			showPreset(showState(), currentPreset());
	});
}
