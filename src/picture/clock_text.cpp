#include "picture/clock_text.h"

#include "picture/glyph_images.h"
#include "settings/preset.h"
#include "show/picture_texts.h"

namespace {

struct ClockParts {
	int64_t hours;
	int64_t minutes;
	int64_t seconds;
};

ClockParts clockParts(int64_t ms)
{
	const int64_t t = ms <= 0 ? 999 : ms + 999;
	const int64_t hours = t / 3600000;
	return {hours, t / 60000 - hours * 60, t / 1000 - (t / 60000) * 60};
}

QString twoDigits(int64_t value)
{
	return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

void appendDigits(TimeTokens &tokens, const QString &digits)
{
	for (const QChar digit : digits)
		tokens.push_back({digit.digitValue(), QString(digit), false});
}

void appendUnit(TimeTokens &tokens, int glyph, const QString &word)
{
	tokens.push_back({glyph, word, true});
}

} // namespace

QString formatClock(int64_t ms, bool padMinutes)
{
	const ClockParts parts = clockParts(ms);
	if (parts.hours > 0)
		return QStringLiteral("%1:%2:%3")
			.arg(QString::number(parts.hours), twoDigits(parts.minutes), twoDigits(parts.seconds));
	const QString minutes = padMinutes ? twoDigits(parts.minutes) : QString::number(parts.minutes);
	return QStringLiteral("%1:%2").arg(minutes, twoDigits(parts.seconds));
}

TimeTokens timeTokens(int64_t ms, int timeFormat, bool padMinutes, const PictureTexts &texts)
{
	TimeTokens tokens;
	if (timeFormat == 1) {
		const ClockParts parts = clockParts(ms);
		if (parts.hours < 1) {
			appendDigits(tokens, QString::number(parts.minutes));
		} else {
			appendDigits(tokens, QString::number(parts.hours));
			appendUnit(tokens, GlyphHours, texts.hours);
			appendDigits(tokens, twoDigits(parts.minutes));
		}
		appendUnit(tokens, GlyphMinutes, texts.minutes);
		appendDigits(tokens, twoDigits(parts.seconds));
		appendUnit(tokens, GlyphSeconds, texts.seconds);
		return tokens;
	}

	for (const QChar c : formatClock(ms, padMinutes)) {
		if (c == QLatin1Char(':'))
			tokens.push_back({GlyphColon, QString(c), false});
		else
			tokens.push_back({c.digitValue(), QString(c), false});
	}
	return tokens;
}

void addLeftWords(TimeTokens &tokens, const QString &leftText)
{
	const int marker = leftText.indexOf(QLatin1String("%1"));
	const QString before = (marker < 0 ? leftText : leftText.left(marker)).trimmed();
	const QString after = marker < 0 ? QString() : leftText.mid(marker + 2).trimmed();
	if (!before.isEmpty())
		tokens.insert(tokens.begin(), {GlyphLeftWords, before, true});
	if (!after.isEmpty())
		tokens.push_back({GlyphLeftWords, after, true});
}

TimeTokens standbyTimeTokens(int64_t ms, const Preset &preset, const PictureTexts &texts)
{
	TimeTokens tokens = timeTokens(ms, preset.style.time_format, true, texts);
	if (preset.standby_ato)
		addLeftWords(tokens, texts.timeLeft);
	return tokens;
}

TimeTokens breakTimeTokens(int64_t ms, const Preset &preset, const PictureTexts &texts)
{
	TimeTokens tokens = timeTokens(ms, preset.style.time_format, false, texts);
	addLeftWords(tokens, texts.timeLeft);
	return tokens;
}
