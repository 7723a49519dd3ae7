// The frontend hotkeys: registered with their texts, a press acting on the UI thread,
// and bindings that the host's saves and its exit event carry through the configuration
// file from one start to the next.
#include "module_fixture.h"

#include "base/module_alive.h"
#include "module/frontend_events.h"
#include "remote/hotkeys.h"
#include "settings/config.h"
#include "show/show_state.h"

#include <obs.hpp>

#include <QFile>

#include <map>
#include <string>

namespace {

// Name to id and description of the module's registered hotkeys.
struct Registered {
	obs_hotkey_id id;
	std::string description;
};

std::map<std::string, Registered> moduleHotkeys()
{
	std::map<std::string, Registered> found;
	obs_enum_hotkeys(
		[](void *data, obs_hotkey_id id, obs_hotkey_t *key) {
			const std::string name = obs_hotkey_get_name(key);
			if (name.rfind("curtainup.", 0) == 0 &&
			    obs_hotkey_get_registerer_type(key) == OBS_HOTKEY_REGISTERER_FRONTEND)
				(*static_cast<std::map<std::string, Registered> *>(data))[name] = {
					id, obs_hotkey_get_description(key)};
			return true;
		},
		&found);
	return found;
}

obs_hotkey_id idOf(const char *name)
{
	const auto hotkeys = moduleHotkeys();
	const auto found = hotkeys.find(name);
	return found == hotkeys.end() ? OBS_INVALID_HOTKEY_ID : found->second.id;
}

std::string boundKeys(obs_hotkey_id id)
{
	OBSDataArrayAutoRelease saved = obs_hotkey_save(id);
	std::string keys;
	for (size_t i = 0; i < obs_data_array_count(saved); ++i) {
		OBSDataAutoRelease binding = obs_data_array_item(saved, i);
		keys += obs_data_get_string(binding, "key");
	}
	return keys;
}

class HotkeyTest : public ModuleTest {
protected:
	HotkeyTest()
	{
		registerHotkeys();
		obs_hotkey_enable_callback_rerouting(true);
	}
	~HotkeyTest() override { unregisterHotkeys(); }

	void press(const char *name, bool pressed = true) { obs_hotkey_trigger_routed_callback(idOf(name), pressed); }
	static void bind(const char *name, const char *key)
	{
		OBSDataArrayAutoRelease binding = obs_data_array_create();
		OBSDataAutoRelease combination = obs_data_create();
		obs_data_set_string(combination, "key", key);
		obs_data_array_push_back(binding, combination);
		obs_hotkey_load(idOf(name), binding);
	}
	bool fileWritten() const { return QFile::exists(config.path()); }
};

} // namespace

TEST_F(HotkeyTest, FrontendHotkeysAreRegisteredWithTheirTexts)
{
	const auto hotkeys = moduleHotkeys();
	ASSERT_EQ(hotkeys.size(), 8u);
	EXPECT_EQ(hotkeys.at("curtainup.standby").description, "CurtainUp: Start standby");
	EXPECT_EQ(hotkeys.at("curtainup.main").description, "CurtainUp: Go to main");
	EXPECT_EQ(hotkeys.at("curtainup.break").description, "CurtainUp: Break / back");
	EXPECT_EQ(hotkeys.at("curtainup.ending").description, "CurtainUp: Ending");
	EXPECT_EQ(hotkeys.at("curtainup.cancel").description, "CurtainUp: Cancel");
	EXPECT_EQ(hotkeys.at("curtainup.hold").description, "CurtainUp: Hold / resume");
	EXPECT_EQ(hotkeys.at("curtainup.add_minute").description, "CurtainUp: One minute more on the countdown");
	EXPECT_EQ(hotkeys.at("curtainup.remove_minute").description, "CurtainUp: One minute less on the countdown");
}

TEST_F(HotkeyTest, APressLogsAtOnceAndActsOnTheUiThread)
{
	press("curtainup.break");
	EXPECT_TRUE(log.contains("[curtainup] hotkey curtainup.break"));
	EXPECT_EQ(showState().phase(), PhaseIdle);
	deliverQueued();
	EXPECT_EQ(showState().phase(), PhaseBreak);

	press("curtainup.break");
	deliverQueued();
	EXPECT_NE(showState().phase(), PhaseBreak);
}

TEST_F(HotkeyTest, EachHotkeyRunsItsOwnOperation)
{
	press("curtainup.standby");
	deliverQueued();
	EXPECT_EQ(showState().phase(), PhaseStandby);
	const int64_t left = showState().snapshot().remainingMs();
	press("curtainup.add_minute");
	deliverQueued();
	EXPECT_EQ(showState().snapshot().remainingMs(), left + 60000);
	press("curtainup.remove_minute");
	press("curtainup.remove_minute");
	deliverQueued();
	EXPECT_EQ(showState().snapshot().remainingMs(), left - 60000);
	press("curtainup.hold");
	deliverQueued();
	EXPECT_TRUE(director->flowStatus().held);
	press("curtainup.main");
	deliverQueued();
	EXPECT_TRUE(log.contains("[curtainup] skipped to the main scene"));
	EXPECT_EQ(showState().phase(), PhaseIdle);
	press("curtainup.ending");
	deliverQueued();
	EXPECT_EQ(showState().phase(), PhaseEnding);
	press("curtainup.cancel");
	deliverQueued();
	EXPECT_EQ(showState().phase(), PhaseIdle);
	EXPECT_TRUE(log.contains("[curtainup] stopped"));
}

TEST_F(HotkeyTest, AReleaseNeitherLogsNorActs)
{
	press("curtainup.standby", false);
	deliverQueued();
	EXPECT_FALSE(log.contains("hotkey"));
	EXPECT_EQ(showState().phase(), PhaseIdle);
}

TEST_F(HotkeyTest, APressWithoutADirectorIsDropped)
{
	destroyDirector();
	press("curtainup.standby");
	deliverQueued();
	EXPECT_FALSE(log.contains("hotkey"));
	EXPECT_EQ(showState().phase(), PhaseIdle);
}

TEST_F(HotkeyTest, BindingsSavedByTheExitEventAreLoadedAtTheNextStart)
{
	bind("curtainup.standby", "OBS_KEY_F5");

	handleFrontendEvent(OBS_FRONTEND_EVENT_EXIT, nullptr);
	EXPECT_FALSE(moduleAlive());
	EXPECT_TRUE(moduleHotkeys().empty());
	EXPECT_TRUE(config.read().contains("OBS_KEY_F5"));

	// The next start.
	releaseConfig();
	loadConfig();
	registerHotkeys();
	EXPECT_EQ(boundKeys(idOf("curtainup.standby")), "OBS_KEY_F5");
	EXPECT_EQ(boundKeys(idOf("curtainup.main")), "");
}

TEST_F(HotkeyTest, TheHostsSaveWritesTheBindingsWhenTheyChanged)
{
	handleFrontendSave(true);
	EXPECT_FALSE(fileWritten()) << "nothing bound is nothing changed";

	bind("curtainup.hold", "OBS_KEY_F9");
	handleFrontendSave(false);
	EXPECT_FALSE(fileWritten()) << "the host loading is no save";
	handleFrontendSave(true);
	EXPECT_TRUE(config.read().contains("OBS_KEY_F9"));

	QFile::remove(config.path());
	handleFrontendSave(true);
	EXPECT_FALSE(fileWritten()) << "unchanged bindings write nothing";
	bind("curtainup.hold", "OBS_KEY_F10");
	handleFrontendSave(true);
	EXPECT_TRUE(config.read().contains("OBS_KEY_F10"));
}

TEST_F(HotkeyTest, UnregisteringTwiceIsHarmless)
{
	unregisterHotkeys();
	unregisterHotkeys();
	EXPECT_TRUE(moduleHotkeys().empty());
	saveHotkeys(); // no valid ids: nothing stored
	EXPECT_FALSE(config.read().contains("curtainup.standby"));
}
