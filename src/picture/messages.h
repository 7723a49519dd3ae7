#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

struct PictureTexts;
struct Preset;

// The lines the standby picture rotates through: the trimmed messages, or, with none, the
// "starts at" line of an until-time countdown.
QStringList messageLines(const Preset &preset, const PictureTexts &texts);
// "Starts at 21:00" for an until-time countdown; empty for a for-length one.
QString startsAtLine(const Preset &preset, const PictureTexts &texts);

struct ShownMessage {
	QString line;
	double opacity = 0;
};
// The message shown at a monotonic time: each line for 6 s, fading in over its first and
// out over its last half second.
ShownMessage currentMessage(const QStringList &lines, int64_t nowMono);
