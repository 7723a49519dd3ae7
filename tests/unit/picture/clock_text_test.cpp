// Clock texts and the tokens of a time row, in both formats and with the time-left words.
#include "picture/clock_text.h"
#include "picture/glyph_images.h"
#include "settings/preset.h"
#include "show/picture_texts.h"

#include <gtest/gtest.h>

namespace {

QString texts(const TimeTokens &tokens)
{
	QStringList parts;
	for (const TimeToken &token : tokens)
		parts << token.text;
	return parts.join(QLatin1Char('|'));
}

TimeToken digit(int value)
{
	return {value, QString::number(value), false};
}

} // namespace

TEST(FormatClock, RoundsUpToTheNextWholeSecond)
{
	EXPECT_EQ(formatClock(600000, true), QStringLiteral("10:00"));
	EXPECT_EQ(formatClock(65000, true), QStringLiteral("01:05"));
	EXPECT_EQ(formatClock(64001, true), QStringLiteral("01:05"));
	EXPECT_EQ(formatClock(64000, true), QStringLiteral("01:04"));
	EXPECT_EQ(formatClock(1, true), QStringLiteral("00:01"));
}

TEST(FormatClock, PadsMinutesOnlyWhenAsked)
{
	EXPECT_EQ(formatClock(300000, false), QStringLiteral("5:00"));
	EXPECT_EQ(formatClock(309000, true), QStringLiteral("05:09"));
	EXPECT_EQ(formatClock(309000, false), QStringLiteral("5:09"));
}

TEST(FormatClock, ZeroAndBelowShowZero)
{
	EXPECT_EQ(formatClock(0, true), QStringLiteral("00:00"));
	EXPECT_EQ(formatClock(0, false), QStringLiteral("0:00"));
	EXPECT_EQ(formatClock(-5000, false), QStringLiteral("0:00"));
}

TEST(FormatClock, HoursShowUnpaddedWithTwoDigitMinutes)
{
	EXPECT_EQ(formatClock(3725000, true), QStringLiteral("1:02:05"));
	EXPECT_EQ(formatClock(3725000, false), QStringLiteral("1:02:05"));
	EXPECT_EQ(formatClock(3600000, false), QStringLiteral("1:00:00"));
	EXPECT_EQ(formatClock(3599001, false), QStringLiteral("1:00:00"));
	EXPECT_EQ(formatClock(86400000, true), QStringLiteral("24:00:00"));
}

TEST(TimeTokens, ColonFormatFollowsTheClockText)
{
	const TimeTokens tokens = timeTokens(65000, 0, true, currentPictureTexts());
	const TimeTokens expected = {digit(0), digit(1), {GlyphColon, QStringLiteral(":"), false}, digit(0), digit(5)};
	EXPECT_EQ(tokens, expected);
}

TEST(TimeTokens, UnitFormatUnderAnHour)
{
	const TimeTokens tokens = timeTokens(65000, 1, true, currentPictureTexts());
	ASSERT_EQ(tokens.size(), 5u);
	EXPECT_EQ(tokens[0], digit(1));
	EXPECT_EQ(tokens[1].glyph, GlyphMinutes);
	EXPECT_TRUE(tokens[1].small);
	EXPECT_EQ(tokens[1].text, QStringLiteral("m"));
	EXPECT_EQ(tokens[2], digit(0));
	EXPECT_EQ(tokens[3], digit(5));
	EXPECT_EQ(tokens[4].glyph, GlyphSeconds);
	EXPECT_EQ(tokens[4].text, QStringLiteral("s"));
	EXPECT_TRUE(tokens[4].small);
}

TEST(TimeTokens, UnitFormatWithHours)
{
	const TimeTokens tokens = timeTokens(3725000, 1, false, currentPictureTexts());
	EXPECT_EQ(texts(tokens), QStringLiteral("1|h|0|2|m|0|5|s"));
	EXPECT_EQ(tokens[1].glyph, GlyphHours);
	EXPECT_EQ(tokens[4].glyph, GlyphMinutes);
	EXPECT_EQ(tokens[7].glyph, GlyphSeconds);
}

TEST(TimeTokens, UnitFormatOfTenMinutesKeepsBothMinuteDigits)
{
	EXPECT_EQ(texts(timeTokens(600000, 1, true, currentPictureTexts())), QStringLiteral("1|0|m|0|0|s"));
}

TEST(LeftWords, MarkerInTheMiddleSplitsTheWords)
{
	TimeTokens tokens = timeTokens(300000, 0, false, currentPictureTexts());
	addLeftWords(tokens, QStringLiteral(" still %1 to go "));
	EXPECT_EQ(texts(tokens), QStringLiteral("still|5|:|0|0|to go"));
	EXPECT_EQ(tokens.front().glyph, GlyphLeftWords);
	EXPECT_TRUE(tokens.front().small);
	EXPECT_EQ(tokens.back().glyph, GlyphLeftWords);
	EXPECT_TRUE(tokens.back().small);
}

TEST(LeftWords, WithoutMarkerAllWordsGoBefore)
{
	TimeTokens tokens = timeTokens(300000, 0, false, currentPictureTexts());
	addLeftWords(tokens, QStringLiteral("  time left  "));
	EXPECT_EQ(texts(tokens), QStringLiteral("time left|5|:|0|0"));
}

TEST(LeftWords, MarkerAtAnEndAddsWordsOnOneSideOnly)
{
	TimeTokens before = timeTokens(300000, 0, false, currentPictureTexts());
	addLeftWords(before, QStringLiteral("%1 left"));
	EXPECT_EQ(texts(before), QStringLiteral("5|:|0|0|left"));

	TimeTokens after = timeTokens(300000, 0, false, currentPictureTexts());
	addLeftWords(after, QStringLiteral("あと%1"));
	EXPECT_EQ(texts(after), QString::fromUtf8("あと|5|:|0|0"));
}

TEST(LeftWords, MarkerIsCaseSensitiveAndEmptyWordsAddNothing)
{
	TimeTokens tokens = timeTokens(300000, 0, false, currentPictureTexts());
	addLeftWords(tokens, QStringLiteral("%1"));
	EXPECT_EQ(texts(tokens), QStringLiteral("5|:|0|0"));
}

TEST(TimeRows, StandbyPadsMinutesAndAddsWordsOnlyWhenAsked)
{
	Preset preset;
	EXPECT_EQ(texts(standbyTimeTokens(300000, preset, currentPictureTexts())), QStringLiteral("0|5|:|0|0"));
	preset.standby_ato = true;
	// en-US "Break.Left" is "%1 left".
	EXPECT_EQ(texts(standbyTimeTokens(300000, preset, currentPictureTexts())), QStringLiteral("0|5|:|0|0|left"));
}

TEST(TimeRows, BreakNeverPadsAndAlwaysAddsWords)
{
	const Preset preset;
	EXPECT_EQ(texts(breakTimeTokens(300000, preset, currentPictureTexts())), QStringLiteral("5|:|0|0|left"));
	EXPECT_EQ(texts(breakTimeTokens(0, preset, currentPictureTexts())), QStringLiteral("0|:|0|0|left"));
}
