// A source renamed in the host keeps its place in the presets and the director's work.
#include "module_fixture.h"

#include "fake_host.h"
#include "module/source_rename.h"
#include "settings/preset_store.h"

#include <obs.h>

namespace {

class RenameTest : public ModuleTest {
protected:
	RenameTest()
	{
		Preset preset = currentPreset();
		preset.main_scene = QStringLiteral("Old scene");
		preset.break_scene = QStringLiteral("Break");
		updateCurrentPreset(preset);
		connectRenameSignal(true);
	}
	~RenameTest() override { connectRenameSignal(false); }

	// The host's global signal, with the call data a rename in the host sends.
	static void signalRename(const char *prevName, const char *newName)
	{
		calldata_t data;
		calldata_init(&data);
		calldata_set_string(&data, "prev_name", prevName);
		calldata_set_string(&data, "new_name", newName);
		signal_handler_signal(obs_get_signal_handler(), "source_rename", &data);
		calldata_free(&data);
	}
};

} // namespace

TEST_F(RenameTest, ARenamedSceneIsFollowedInThePresetsTheFileAndTheDirector)
{
	host->addScene(QStringLiteral("Break"));
	host->program = QStringLiteral("Old scene");
	director->toggleBreak(); // the way back leads to the old name

	signalRename("Old scene", "New scene");
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("Old scene")); // not before the UI thread runs
	deliverQueued();
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("New scene"));
	EXPECT_TRUE(config.read().contains("New scene"));

	host->addScene(QStringLiteral("New scene"));
	director->toggleBreak();
	for (int ticks = 0; ticks < 20 && host->program != QStringLiteral("New scene"); ++ticks) {
		clock.advance(50);
		director->tick();
	}
	EXPECT_EQ(host->program, QStringLiteral("New scene"));
}

TEST_F(RenameTest, ARenameWithAnEmptyNameChangesNothingAndWritesNoFile)
{
	const QByteArray before = config.read();
	signalRename("", "New scene");
	signalRename("Old scene", "");
	deliverQueued();
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("Old scene"));
	EXPECT_EQ(config.read(), before);
}

TEST_F(RenameTest, ConnectingTwiceConnectsOnceAndDisconnectingStopsIt)
{
	connectRenameSignal(true);
	connectRenameSignal(false);
	signalRename("Old scene", "New scene");
	deliverQueued();
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("Old scene"));
}

TEST_F(RenameTest, ARenameWithoutADirectorIsDropped)
{
	destroyDirector();
	signalRename("Old scene", "New scene");
	deliverQueued();
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("Old scene"));
}

TEST_F(RenameTest, PresetListenersHearOnceThePresetsHaveTheNewName)
{
	QStringList seen;
	const int listener = addPresetListener([&](PresetEvent event) {
		if (event == PresetEvent::Changed)
			seen.append(currentPreset().main_scene);
	});
	signalRename("Old scene", "");
	signalRename("Old scene", "New scene");
	EXPECT_TRUE(seen.isEmpty()) << "on the UI thread, not in the signal";
	deliverQueued();
	removePresetListener(listener);
	EXPECT_EQ(seen, QStringList{QStringLiteral("New scene")}) << "once, for the real rename";
}
