#pragma once

#include <QString>

#include <cstdint>
#include <vector>

struct PictureTexts;
struct Preset;

// The clock text of a time left: seconds round up, so 0.2 s left still shows one second.
// "1:05:09" with hours; else "05:09" with padMinutes and "5:09" without.
QString formatClock(int64_t ms, bool padMinutes);

// One element of a time row: a digit, the colon, a unit word or the time-left words.
struct TimeToken {
	int glyph = -1; // picture glyph index that may replace it; -1 for none
	QString text;   // drawn when there is no picture
	bool small = false;

	bool operator==(const TimeToken &other) const
	{
		return glyph == other.glyph && text == other.text && small == other.small;
	}
};
using TimeTokens = std::vector<TimeToken>;

// The tokens of a time: with colons (timeFormat 0) or with the unit words of `texts`
// (timeFormat 1).
TimeTokens timeTokens(int64_t ms, int timeFormat, bool padMinutes, const PictureTexts &texts);
// Wraps the tokens in the time-left wording `leftText`, whose "%1" marks the time; without
// "%1" all of the wording goes before it.
void addLeftWords(TimeTokens &tokens, const QString &leftText);

// The time row of the standby picture: padded minutes, the time-left wording if asked for.
TimeTokens standbyTimeTokens(int64_t ms, const Preset &preset, const PictureTexts &texts);
// The time row of the break picture: unpadded minutes, always inside the time-left wording.
TimeTokens breakTimeTokens(int64_t ms, const Preset &preset, const PictureTexts &texts);
