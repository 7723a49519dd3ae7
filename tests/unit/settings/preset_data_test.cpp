// One preset as a data object: the transition objects and the default preset's texts.
#include "base/module_host.h"
#include "settings/preset.h"

#include <gtest/gtest.h>
#include <obs.hpp>

TEST(PresetData, DefaultPresetTakesItsTextsFromTheLocale)
{
	const Preset preset = defaultPreset(QStringLiteral("Show"));
	EXPECT_EQ(preset.name, QStringLiteral("Show"));
	EXPECT_EQ(preset.title, QStringLiteral("Starting Soon"));
	// "Default.Messages" is split at "|" and empty parts are dropped.
	const QStringList parts = moduleText("Default.Messages").split('|', Qt::SkipEmptyParts);
	EXPECT_EQ(preset.messages, parts);
	EXPECT_GE(preset.messages.size(), 2);
	EXPECT_EQ(preset.end_text, moduleText("Default.End"));
	EXPECT_EQ(preset.break_text, moduleText("Default.Break"));
	EXPECT_EQ(preset.classic.sub, moduleText("Default.Sub"));
}

TEST(PresetData, TransitionChoiceReadsAbsentPartsAsEmpty)
{
	OBSDataAutoRelease data = obs_data_create_from_json(
		R"({"a": {"name": "Fade"}, "b": {"ms": 500}, "c": {"name": "Cut", "ms": 25000}})");
	EXPECT_EQ(readTransition(data, "a"), (TransitionChoice{"Fade", 0}));
	EXPECT_EQ(readTransition(data, "b"), (TransitionChoice{"", 500}));
	EXPECT_EQ(readTransition(data, "c"), (TransitionChoice{"Cut", 20000}));
	EXPECT_EQ(readTransition(data, "missing"), TransitionChoice());

	writeTransition(data, "d", {QStringLiteral("Stinger"), 1200});
	EXPECT_EQ(readTransition(data, "d"), (TransitionChoice{"Stinger", 1200}));
}

TEST(PresetData, ThemeIndexIsClampedIntoTheSevenColours)
{
	EXPECT_EQ(themeColor(-1), QColor(0xE7, 0x7C, 0xAC));
	EXPECT_EQ(themeColor(3), QColor(0x5D, 0x84, 0xDE));
	EXPECT_EQ(themeColor(99), QColor(0xC2, 0x8C, 0x0E));
}
