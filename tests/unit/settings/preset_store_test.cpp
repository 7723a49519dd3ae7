// The preset list operations: unique names, choosing, removing, following renamed sources.
#include "show/show_state.h"
#include "log_capture.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "temp_config.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class PresetStore : public testing::Test {
protected:
	void SetUp() override
	{
		config.write(R"({"current": 1, "presets": [
			{"name": "A", "main_scene": "Stage", "bgm": "Music"},
			{"name": "B", "op_scene": "Stage", "to_op": {"name": "Stage", "ms": 300}},
			{"name": "C", "main_scene": "Other"}]})");
		loadConfig();
		QFile::remove(config.path());
	}
	void TearDown() override { releaseConfig(); }
	bool fileWritten() const { return QFile::exists(config.path()); }
	QString activeName() const { return showState().snapshot().preset.name; }

	TempConfig config;
};

} // namespace

TEST_F(PresetStore, UniqueNamesCountUpFromTwo)
{
	EXPECT_EQ(uniquePresetName(QStringLiteral("New")), QStringLiteral("New"));
	presetList().push_back(defaultPreset(QStringLiteral("A 2")));
	presetList().push_back(defaultPreset(QStringLiteral("A 3")));
	EXPECT_EQ(uniquePresetName(QStringLiteral("A")), QStringLiteral("A 4"));
	EXPECT_EQ(uniquePresetName(QStringLiteral("a")), QStringLiteral("a")) << "names are case-sensitive";
}

TEST_F(PresetStore, UniqueNamesKeepPercentSignsAsText)
{
	presetList().push_back(defaultPreset(QStringLiteral("Sale%1")));
	presetList().push_back(defaultPreset(QStringLiteral("%2%1 off")));
	EXPECT_EQ(uniquePresetName(QStringLiteral("Sale%1")), QStringLiteral("Sale%1 2"));
	EXPECT_EQ(uniquePresetName(QStringLiteral("%2%1 off")), QStringLiteral("%2%1 off 2"));
	presetList().push_back(defaultPreset(QStringLiteral("Sale%1 2")));
	EXPECT_EQ(uniquePresetName(QStringLiteral("Sale%1")), QStringLiteral("Sale%1 3"));
}

TEST_F(PresetStore, UniqueNameGivesUpAfter999)
{
	for (int n = 2; n <= 999; ++n)
		presetList().push_back(defaultPreset(QStringLiteral("A %1").arg(n)));
	EXPECT_EQ(uniquePresetName(QStringLiteral("A")), QStringLiteral("A"));
}

TEST_F(PresetStore, SelectingTheCurrentPresetWritesAndLogsNothing)
{
	LogCapture log;
	selectPreset(1);
	EXPECT_FALSE(fileWritten());
	EXPECT_EQ(log.count("[curtainup]"), 0);

	selectPreset(7); // clamped to the last
	EXPECT_EQ(currentIndex(), 2);
	EXPECT_TRUE(fileWritten());
	EXPECT_EQ(log.count("[curtainup] preset 'C'"), 1);
	EXPECT_EQ(activeName(), QStringLiteral("C")) << "the show uses the chosen preset at once";
}

TEST_F(PresetStore, RemovingKeepsAValidCurrentPreset)
{
	removePreset(1); // the current one: the one before it becomes current
	EXPECT_EQ(currentPreset().name, QStringLiteral("A"));
	EXPECT_EQ(activeName(), QStringLiteral("A"));
	EXPECT_TRUE(fileWritten());

	loadConfig();
	EXPECT_EQ(presetCount(), 2) << "the file holds the list after the removal";
	EXPECT_EQ(currentPreset().name, QStringLiteral("A"));
}

TEST_F(PresetStore, RemovingBeforeOrAfterTheCurrentKeepsItCurrent)
{
	removePreset(2);
	EXPECT_EQ(currentPreset().name, QStringLiteral("B"));
	removePreset(0);
	EXPECT_EQ(currentPreset().name, QStringLiteral("B"));
	EXPECT_EQ(currentIndex(), 0);

	LogCapture log;
	QFile::remove(config.path());
	removePreset(0); // the last preset can never be removed
	removePreset(5);
	EXPECT_EQ(presetCount(), 1);
	EXPECT_FALSE(fileWritten());
	EXPECT_EQ(log.count("[curtainup]"), 0);
}

TEST_F(PresetStore, RemovingTheFirstWhenItIsCurrentMakesTheNewFirstCurrent)
{
	selectPreset(0);
	removePreset(0);
	EXPECT_EQ(currentPreset().name, QStringLiteral("B"));
}

TEST_F(PresetStore, AddAndUpdateApplyAndSave)
{
	LogCapture log;
	Preset added = defaultPreset(QStringLiteral("Added"));
	EXPECT_EQ(addPreset(added), 3);
	EXPECT_EQ(activeName(), QStringLiteral("Added"));
	EXPECT_EQ(log.count("[curtainup] preset 'Added' saved"), 1);

	Preset changed = currentPreset();
	changed.duration_ms = 500; // below the bound: the show state clamps its copy
	QFile::remove(config.path());
	updateCurrentPreset(changed);
	EXPECT_TRUE(fileWritten());
	EXPECT_EQ(showState().snapshot().preset.duration_ms, 1000);
}

TEST_F(PresetStore, RenamedSourceChangesEveryPresetAndWritesOnce)
{
	renameSourceInPresets(QStringLiteral("Stage"), QStringLiteral("Stage 2"));
	EXPECT_TRUE(fileWritten());
	EXPECT_EQ(presetAt(0).main_scene, QStringLiteral("Stage 2"));
	EXPECT_EQ(presetAt(1).op_scene, QStringLiteral("Stage 2"));
	EXPECT_EQ(presetAt(1).to_op.name, QStringLiteral("Stage 2"));
	EXPECT_EQ(presetAt(1).to_op.ms, 300);
	EXPECT_EQ(presetAt(2).main_scene, QStringLiteral("Other"));
	EXPECT_EQ(presetAt(0).bgm, QStringLiteral("Music"));
}

TEST_F(PresetStore, RenameFollowsEveryNameLinkAndNoText)
{
	// The names that link a preset to the host's scenes, sources and transitions.
	const std::pair<const char *, QString Preset::*> sourceFields[] = {
		{"standby_scene", &Preset::standby_scene}, {"bgm", &Preset::bgm},
		{"op_scene", &Preset::op_scene},           {"op_media", &Preset::op_media},
		{"main_scene", &Preset::main_scene},       {"break_scene", &Preset::break_scene},
		{"ending_scene", &Preset::ending_scene},   {"ending_media", &Preset::ending_media}};
	const std::pair<const char *, TransitionChoice Preset::*> transitionFields[] = {
		{"to_standby", &Preset::to_standby}, {"to_op", &Preset::to_op},
		{"to_main", &Preset::to_main},       {"to_break", &Preset::to_break},
		{"from_break", &Preset::from_break}, {"to_ending", &Preset::to_ending}};
	Preset linked = defaultPreset(QStringLiteral("Linked"));
	for (const auto &[key, field] : sourceFields)
		linked.*field = QStringLiteral("Old");
	for (const auto &[key, field] : transitionFields)
		(linked.*field).name = QStringLiteral("Old");
	linked.title = QStringLiteral("Old"); // a text, not a link
	presetList()[2] = linked;

	renameSourceInPresets(QStringLiteral("Old"), QStringLiteral("New"));
	const Preset &renamed = presetAt(2);
	for (const auto &[key, field] : sourceFields)
		EXPECT_EQ(renamed.*field, QStringLiteral("New")) << key;
	for (const auto &[key, field] : transitionFields)
		EXPECT_EQ((renamed.*field).name, QStringLiteral("New")) << key;
	EXPECT_EQ(renamed.title, QStringLiteral("Old"));
}

TEST_F(PresetStore, RenameThatMatchesNothingOrIsEmptyWritesNothing)
{
	renameSourceInPresets(QStringLiteral("Nowhere"), QStringLiteral("Else"));
	renameSourceInPresets(QString(), QStringLiteral("Else"));
	renameSourceInPresets(QStringLiteral("Stage"), QStringLiteral("Stage"));
	EXPECT_FALSE(fileWritten());
	EXPECT_EQ(presetAt(0).main_scene, QStringLiteral("Stage"));
}

TEST_F(PresetStore, RenameFollowsThePendingMusicRestore)
{
	setBgmRestore(QStringLiteral("Music"), 0.5);
	QFile::remove(config.path());
	renameSourceInPresets(QStringLiteral("Music"), QStringLiteral("Music 2"));
	EXPECT_TRUE(fileWritten());
	EXPECT_EQ(bgmRestore().source, QStringLiteral("Music 2"));
	EXPECT_EQ(presetAt(0).bgm, QStringLiteral("Music 2"));
}
