// Loading and saving "config.json": defaults, fallbacks, clamping, and nothing lost.
#include "log_capture.h"
#include "base/module_host.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "temp_config.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <obs.hpp>

#include <cmath>

namespace {

const QByteArray twoPresets = R"({"version": 2, "current": 1, "presets": [
	{"name": "Morning", "duration_ms": 120000, "main_scene": "Main"},
	{"name": "Evening", "count_mode": 0, "target_minutes": 1200}]})";

QJsonObject savedJson(const TempConfig &config)
{
	return QJsonDocument::fromJson(config.read()).object();
}

class ConfigFile : public testing::Test {
protected:
	void TearDown() override { releaseConfig(); }
	TempConfig config;
};

} // namespace

TEST_F(ConfigFile, MissingFileGivesOneDefaultPresetAndLogsNothing)
{
	LogCapture log;
	loadConfig();
	ASSERT_EQ(presetCount(), 1);
	EXPECT_EQ(currentIndex(), 0);
	EXPECT_EQ(currentPreset().name, moduleText("Preset.FirstName"));
	EXPECT_EQ(currentPreset().title, QStringLiteral("Starting Soon"));
	EXPECT_FALSE(currentPreset().messages.isEmpty());
	EXPECT_EQ(currentPreset().holdText, moduleText("Default.Hold"));
	EXPECT_EQ(log.count("[curtainup]"), 0);
	EXPECT_FALSE(QFile::exists(config.path())) << "loading alone must not write";
}

TEST_F(ConfigFile, BrokenFilesWithoutBackupFallBackToTheDefaultPreset)
{
	const QByteArray broken[] = {"",
				     "   \n",
				     "{\"version\": 2, \"presets\": [{\"name\": \"A\"",
				     "this is not json",
				     "[1, 2, 3]",
				     "{\"a\": 1, \"a\": 2}",
				     "\xff\xfe{\x00"};
	for (const QByteArray &text : broken) {
		config.write(text);
		loadConfig();
		ASSERT_EQ(presetCount(), 1) << text.constData();
		EXPECT_EQ(currentPreset().name, moduleText("Preset.FirstName")) << text.constData();
	}
}

TEST_F(ConfigFile, AByteOrderMarkAndWhiteSpaceBeforeTheObjectAreSkipped)
{
	for (const QByteArray &lead : {QByteArray("\xEF\xBB\xBF"), QByteArray("\xEF\xBB\xBF \r\n\t")}) {
		config.write(lead + twoPresets);
		loadConfig();
		ASSERT_EQ(presetCount(), 2);
		EXPECT_EQ(currentPreset().name, QStringLiteral("Evening"));
		saveConfig();
		EXPECT_FALSE(QFile::exists(config.path() + ".unreadable")) << "a readable file is not set aside";
		EXPECT_EQ(savedJson(config)["presets"].toArray().size(), 2);
	}
}

TEST_F(ConfigFile, UnreadableFileFallsBackToBackupAndTheSaveKeepsThatBackup)
{
	config.write("{\"presets\": [");
	config.writeBackup(twoPresets);
	loadConfig();
	ASSERT_EQ(presetCount(), 2);
	EXPECT_EQ(currentPreset().name, QStringLiteral("Evening"));

	LogCapture log;
	saveConfig();
	EXPECT_EQ(config.readBackup(), twoPresets) << "the good backup must not be replaced by the broken file";
	EXPECT_EQ(savedJson(config)["presets"].toArray().size(), 2);
	EXPECT_TRUE(QFile::exists(config.path() + ".unreadable")) << "the broken file is kept for the user";
	EXPECT_EQ(log.count("unreadable"), 1);

	// From now on saves rotate normally: the file just written becomes the backup.
	const QByteArray written = config.read();
	saveConfig();
	EXPECT_EQ(config.readBackup(), written);
}

TEST_F(ConfigFile, EachUnreadableFileIsKeptUpToTheFiveNewest)
{
	config.writeBackup(twoPresets);
	for (int round = 1; round <= 6; ++round) {
		config.write(QByteArray("{\"broken\": ") + QByteArray::number(round));
		loadConfig();
		ASSERT_EQ(presetCount(), 2) << "round " << round;
		saveConfig();
	}
	const auto kept = [&](const char *suffix) {
		QFile file(config.path() + ".unreadable" + suffix);
		return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
	};
	EXPECT_EQ(kept(""), "{\"broken\": 6");
	EXPECT_EQ(kept(".1"), "{\"broken\": 5");
	EXPECT_EQ(kept(".4"), "{\"broken\": 2");
	EXPECT_EQ(kept(".5"), "(none)") << "the oldest beyond five is removed";
}

TEST_F(ConfigFile, WrongTypesReadAsDefaultsAndLoseNothingElse)
{
	config.write(R"({"presets": [{"name": "Typed", "duration_ms": "ten", "switch_after": [1],
		"stop_stream": "yes", "to_op": "Fade", "to_main": {"name": "Cut", "ms": "x"},
		"style": [1, 2], "classic": "old", "messages": 5, "main_scene": "Main"}], "current": "one",
		"bgm_restore": [], "hotkeys": 7, "dock_shown": "true"})");
	loadConfig();
	ASSERT_EQ(presetCount(), 1);
	const Preset &preset = currentPreset();
	const Preset defaults;
	EXPECT_EQ(preset.name, QStringLiteral("Typed"));
	EXPECT_EQ(preset.main_scene, QStringLiteral("Main"));
	EXPECT_EQ(preset.duration_ms, defaults.duration_ms);
	EXPECT_EQ(preset.switch_after, defaults.switch_after);
	EXPECT_FALSE(preset.stop_stream);
	EXPECT_EQ(preset.to_op, TransitionChoice());
	EXPECT_EQ(preset.to_main.name, QStringLiteral("Cut"));
	EXPECT_EQ(preset.to_main.ms, 0);
	EXPECT_EQ(preset.style.size, defaults.style.size);
	EXPECT_EQ(preset.style.color, defaults.style.color);
	EXPECT_EQ(preset.classic.layout, defaults.classic.layout);
	EXPECT_TRUE(preset.messages.isEmpty());
	EXPECT_FALSE(bgmRestore().pending);
	EXPECT_FALSE(dockShown());
}

TEST_F(ConfigFile, NumbersAreClampedIntoTheirBounds)
{
	config.write(R"({"presets": [{"name": "Wild", "duration_ms": 10, "target_minutes": -5,
		"break_ms": 99999999999, "switch_after": 61, "stop_after": -1, "last_ten": 7,
		"to_op": {"name": "Fade", "ms": 999999},
		"style": {"size": 5000, "outline_width": -3, "align": 9, "time_format": 4},
		"classic": {"theme": 9, "layout": -1, "font": 3, "background": 5}}], "current": 40})");
	loadConfig();
	const Preset &preset = currentPreset();
	EXPECT_EQ(currentIndex(), 0);
	EXPECT_EQ(preset.duration_ms, 1000);
	EXPECT_EQ(preset.target_minutes, 0);
	EXPECT_EQ(preset.break_ms, 86400000);
	EXPECT_EQ(preset.switch_after, 60);
	EXPECT_EQ(preset.stop_after, 0);
	EXPECT_EQ(preset.last_ten, 2);
	EXPECT_EQ(preset.to_op.ms, 20000);
	EXPECT_EQ(preset.style.size, 1000);
	EXPECT_EQ(preset.style.outline_width, 0);
	EXPECT_EQ(preset.style.align, 2);
	EXPECT_EQ(preset.style.time_format, 1);
	EXPECT_EQ(preset.classic.theme, 6);
	EXPECT_EQ(preset.classic.layout, 0);
	EXPECT_EQ(preset.classic.font, 1);
	EXPECT_EQ(preset.classic.background, 2);
}

TEST_F(ConfigFile, AbsentKeysReadTheDefaultPresetsValues)
{
	config.write(R"({"presets": [{"name": "Sparse", "style": {"font": "X"}, "classic": {}}]})");
	loadConfig();
	const Preset &preset = currentPreset();
	EXPECT_EQ(preset.holdText, moduleText("Default.Hold"));
	EXPECT_EQ(preset.break_text, moduleText("Default.Break"));
	EXPECT_TRUE(preset.title.isEmpty());
	EXPECT_EQ(preset.count_mode, 1);
	EXPECT_EQ(preset.duration_ms, 600000);
	EXPECT_TRUE(preset.style.bold);
	EXPECT_EQ(preset.style.size, 200);
	EXPECT_EQ(preset.style.color, QColor(0xE7, 0x7C, 0xAC)) << "an absent colour falls back";
	EXPECT_TRUE(preset.classic.motion);
	EXPECT_EQ(preset.classic.background, 2);
	EXPECT_TRUE(preset.classic.sub.isEmpty());
}

TEST_F(ConfigFile, UnreadableColoursFallBackAndMessagesAreSplitAndTrimmed)
{
	config.write(R"({"presets": [{"name": "C", "messages": "a\n\n  b  \n",
		"style": {"color": "not a colour", "outline": "#00ff00"}}]})");
	loadConfig();
	EXPECT_EQ(currentPreset().style.color, QColor(0xE7, 0x7C, 0xAC));
	EXPECT_EQ(currentPreset().style.outline, QColor(0, 255, 0));
	EXPECT_EQ(currentPreset().messages, (QStringList{"a", "b"}));
}

TEST_F(ConfigFile, EmptyAndDuplicateNamesGetUniqueNamesWhileDuplicatesStay)
{
	config.write(R"({"presets": [{"name": ""}, {"name": "  "}, {"name": "Same"}, {"name": "Same"}]})");
	loadConfig();
	ASSERT_EQ(presetCount(), 4);
	const QString first = moduleText("Preset.FirstName");
	EXPECT_EQ(presetAt(0).name, first);
	EXPECT_EQ(presetAt(1).name, first + " 2");
	EXPECT_EQ(findPreset(QStringLiteral("Same")), 2) << "the first of duplicates wins";
}

TEST_F(ConfigFile, EmptyPresetArrayGivesTheDefaultPreset)
{
	config.write(R"({"version": 2, "presets": [], "current": 3})");
	loadConfig();
	ASSERT_EQ(presetCount(), 1);
	EXPECT_EQ(currentIndex(), 0);
	EXPECT_EQ(currentPreset().name, moduleText("Preset.FirstName"));
}

TEST_F(ConfigFile, SaveAndLoadKeepEveryFieldAndTheModuleState)
{
	config.write(twoPresets);
	loadConfig();
	Preset edited = currentPreset();
	edited.messages = QStringList{"one", "two"};
	edited.to_break = {QStringLiteral("Swipe"), 800};
	edited.style.color = QColor(1, 2, 3);
	edited.style.image_folder = QStringLiteral("/tmp/glyphs");
	edited.stop_stream = true;
	edited.classic.image = QStringLiteral("old.png");
	presetList()[1] = edited;
	setBgmRestore(QStringLiteral("Music"), 0.25);
	setDockShown();
	OBSDataArrayAutoRelease binding = obs_data_array_create();
	storeHotkeyBinding("curtainup.standby", binding);
	saveConfig();

	const QJsonObject json = savedJson(config);
	EXPECT_EQ(json["version"].toInt(), 2);
	EXPECT_EQ(json["current"].toInt(), 1);
	EXPECT_EQ(json["presets"].toArray()[1].toObject()["style"].toObject()["color"].toString(), "#010203");
	EXPECT_EQ(json["presets"].toArray()[1].toObject()["messages"].toString(), "one\ntwo");

	releaseConfig();
	loadConfig();
	ASSERT_EQ(presetCount(), 2);
	EXPECT_EQ(currentIndex(), 1);
	const Preset &read = currentPreset();
	EXPECT_EQ(read.messages, edited.messages);
	EXPECT_EQ(read.to_break, edited.to_break);
	EXPECT_EQ(read.style.color, edited.style.color);
	EXPECT_EQ(read.style.image_folder, edited.style.image_folder);
	EXPECT_EQ(read.target_minutes, 1200);
	EXPECT_EQ(read.count_mode, 0);
	EXPECT_TRUE(read.stop_stream);
	EXPECT_EQ(read.classic.image, edited.classic.image);
	EXPECT_EQ(presetAt(0).duration_ms, 120000);
	EXPECT_TRUE(dockShown());
	EXPECT_TRUE(bgmRestore().pending);
	EXPECT_EQ(bgmRestore().source, QStringLiteral("Music"));
	EXPECT_DOUBLE_EQ(bgmRestore().volume, 0.25);
	OBSDataArrayAutoRelease stored = hotkeyBinding("curtainup.standby");
	EXPECT_NE(stored.Get(), nullptr);
	OBSDataArrayAutoRelease absent = hotkeyBinding("curtainup.main");
	EXPECT_EQ(absent.Get(), nullptr);

	clearBgmRestore();
	EXPECT_FALSE(savedJson(config).contains("bgm_restore"));
}

TEST_F(ConfigFile, AMusicRecordWithoutAUsableVolumeIsDroppedWithOneWarning)
{
	const QByteArray unusable[] = {R"({"source": "Music"})", R"({"source": "Music", "volume": -0.5})",
				       R"({"source": "Music", "volume": 1e300})",
				       R"({"source": "Music", "volume": 20.5})",
				       R"({"source": "Music", "volume": "0.5"})"};
	for (const QByteArray &record : unusable) {
		config.write(R"({"presets": [{"name": "A"}], "bgm_restore": )" + record + "}");
		LogCapture log;
		loadConfig();
		EXPECT_FALSE(bgmRestore().pending) << record.constData();
		ASSERT_EQ(log.count("[curtainup] music volume record"), 1) << record.constData();
		EXPECT_EQ(log.lines().front().level, LOG_WARNING) << log.lines().front().text;
		saveConfig();
		EXPECT_FALSE(savedJson(config).contains("bgm_restore")) << record.constData();
	}
	EXPECT_FALSE(usableMusicVolume(std::nan("")));
	EXPECT_FALSE(usableMusicVolume(INFINITY));
}

TEST_F(ConfigFile, AMusicVolumeJustOutsideTheMixersRangeIsClamped)
{
	const std::pair<const char *, double> volumes[] = {{"-0.004", 0.0}, {"0.35", 0.35}, {"20.004", 20.0}};
	for (const auto &[stored, restored] : volumes) {
		config.write(QByteArray(R"({"bgm_restore": {"source": "Music", "volume": )") + stored + "}}");
		LogCapture log;
		loadConfig();
		EXPECT_TRUE(bgmRestore().pending) << stored;
		EXPECT_DOUBLE_EQ(bgmRestore().volume, restored) << stored;
		EXPECT_EQ(log.count("[curtainup]"), 0) << stored;
	}
}

TEST_F(ConfigFile, AFailingSaveWarnsOncePerStretchAndShowsUntilAWriteSucceeds)
{
	loadConfig();
	LogCapture log;
	config.blockWrites();
	for (int edit = 0; edit < 3; ++edit)
		saveConfig();
	EXPECT_EQ(log.count("[curtainup] could not write"), 1);
	EXPECT_EQ(log.count("failed to write"), 1) << "the host's own error line comes once as well";
	EXPECT_EQ(configSaveProblem(), moduleText("Problem.ConfigNotSaved"));

	config.unblockWrites();
	saveConfig();
	EXPECT_TRUE(configSaveProblem().isEmpty());
	EXPECT_EQ(log.count("[curtainup] could not write"), 1);
	EXPECT_TRUE(QFile::exists(config.path()));

	config.blockWrites();
	saveConfig();
	EXPECT_EQ(log.count("[curtainup] could not write"), 2) << "a new stretch warns again";
}

TEST_F(ConfigFile, FirstReleaseFileBecomesTheFirstPresetOnce)
{
	config.write(R"({"mode": 1, "duration_ms": 300000, "title": "Soon!", "switch_scene": true,
		"scene": "Stage", "switch_delay": 5, "theme": 2, "font": 1, "messages": "hi\nthere",
		"layout": 1, "sub": "old sub"})");
	LogCapture log;
	loadConfig();
	ASSERT_EQ(presetCount(), 1);
	const Preset &preset = currentPreset();
	EXPECT_EQ(preset.name, moduleText("Preset.FirstName"));
	EXPECT_EQ(preset.count_mode, 1);
	EXPECT_EQ(preset.duration_ms, 300000);
	EXPECT_EQ(preset.title, QStringLiteral("Soon!"));
	EXPECT_EQ(preset.main_scene, QStringLiteral("Stage"));
	EXPECT_EQ(preset.switch_after, 5);
	EXPECT_EQ(preset.messages, (QStringList{"hi", "there"}));
	EXPECT_EQ(preset.style.color, themeColor(2));
	EXPECT_EQ(preset.style.font, QStringLiteral("Yu Gothic UI"));
	EXPECT_EQ(preset.classic.layout, 1);
	EXPECT_EQ(preset.classic.sub, QStringLiteral("old sub"));
	EXPECT_EQ(log.count("[curtainup] settings from v0.1 kept as the first preset"), 1);

	saveConfig();
	EXPECT_EQ(savedJson(config)["version"].toInt(), 2);
	log.clear();
	loadConfig();
	EXPECT_EQ(log.count("settings from v0.1"), 0) << "the migration runs only once";
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("Stage"));
}

TEST_F(ConfigFile, FirstReleaseFileWithoutSceneSwitchKeepsNoMainScene)
{
	config.write(R"({"mode": 0, "title": "T", "scene": "Stage", "target_minutes": 1500})");
	loadConfig();
	EXPECT_EQ(currentPreset().count_mode, 0);
	EXPECT_TRUE(currentPreset().main_scene.isEmpty());
	EXPECT_EQ(currentPreset().target_minutes, 1439);
	EXPECT_EQ(currentPreset().style.color, themeColor(0));
}
