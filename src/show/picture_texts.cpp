#include "show/picture_texts.h"

#include "base/module_host.h"

PictureTexts currentPictureTexts()
{
	PictureTexts texts;
	texts.hours = moduleText("Unit.Hours");
	texts.minutes = moduleText("Unit.Minutes");
	texts.seconds = moduleText("Unit.Seconds");
	texts.timeLeft = moduleText("Break.Left");
	texts.startsAt = moduleText("Screen.StartsAt");
	return texts;
}
