#pragma once

#include <QString>

// The locale texts the countdown picture draws. They are read on the UI thread when a
// preset is applied and travel in the show state's snapshots, so the render thread never
// reads the module's locale, which the host replaces on the UI thread.
struct PictureTexts {
	QString hours;    // unit word after the hours
	QString minutes;  // unit word after the minutes
	QString seconds;  // unit word after the seconds
	QString timeLeft; // the time-left words; "%1" marks the time
	QString startsAt; // the message of an until-time countdown; "%1" marks the clock time
};

// The texts of the module's current locale. UI thread only.
PictureTexts currentPictureTexts();
