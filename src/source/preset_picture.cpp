// What the shared show state asks of the countdown picture when a preset is applied.
#include "director/show_state.h"
#include "source/fonts.h"
#include "source/frame_layout.h"
#include "source/glyph_images.h"
#include "source/picture_texts.h"

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

void reloadPresetGlyphs(const QString &folder)
{
	glyphsForFolder(folder, true);
}
