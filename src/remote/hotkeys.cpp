#include "remote/hotkeys.h"

#include "base/module_host.h"
#include "director/director.h"
#include "settings/config.h"

#include <obs-module.h>
#include <obs.hpp>

#include <QMetaObject>

namespace {

struct HotkeyRow {
	const char *name;
	const char *descriptionKey;
	void (Director::*operation)();
	obs_hotkey_id id;
};

HotkeyRow hotkeyTable[] = {
	{"curtainup.standby", "Hotkey.Standby", &Director::startStandby, OBS_INVALID_HOTKEY_ID},
	{"curtainup.main", "Hotkey.Main", &Director::skipToMain, OBS_INVALID_HOTKEY_ID},
	{"curtainup.break", "Hotkey.Break", &Director::toggleBreak, OBS_INVALID_HOTKEY_ID},
	{"curtainup.ending", "Hotkey.Ending", &Director::startEnding, OBS_INVALID_HOTKEY_ID},
	{"curtainup.cancel", "Hotkey.Cancel", &Director::cancel, OBS_INVALID_HOTKEY_ID},
	{"curtainup.hold", "Hotkey.Hold", &Director::toggleHold, OBS_INVALID_HOTKEY_ID},
	{"curtainup.add_minute", "Hotkey.AddMinute", &Director::addMinute, OBS_INVALID_HOTKEY_ID},
	{"curtainup.remove_minute", "Hotkey.RemoveMinute", &Director::removeMinute, OBS_INVALID_HOTKEY_ID},
};

// Called on the host's hotkey thread; the operation runs later on the director's thread.
void onHotkey(void *data, obs_hotkey_id, obs_hotkey_t *, bool pressed)
{
	if (!pressed)
		return;
	Director *director = directorInstance();
	if (!director)
		return;
	const HotkeyRow *row = static_cast<const HotkeyRow *>(data);
	moduleLog(LOG_INFO, "hotkey %s", row->name);
	QMetaObject::invokeMethod(
		director, [director, operation = row->operation] { (director->*operation)(); }, Qt::QueuedConnection);
}

} // namespace

void registerHotkeys()
{
	for (HotkeyRow &row : hotkeyTable) {
		row.id = obs_hotkey_register_frontend(row.name, obs_module_text(row.descriptionKey), onHotkey, &row);
		OBSDataArrayAutoRelease binding = hotkeyBinding(row.name);
		if (binding)
			obs_hotkey_load(row.id, binding);
	}
}

bool saveHotkeys()
{
	bool changed = false;
	for (const HotkeyRow &row : hotkeyTable) {
		if (row.id == OBS_INVALID_HOTKEY_ID)
			continue;
		OBSDataArrayAutoRelease binding = obs_hotkey_save(row.id);
		changed |= storeHotkeyBinding(row.name, binding);
	}
	return changed;
}

void unregisterHotkeys()
{
	for (HotkeyRow &row : hotkeyTable) {
		if (row.id != OBS_INVALID_HOTKEY_ID)
			obs_hotkey_unregister(row.id);
		row.id = OBS_INVALID_HOTKEY_ID;
	}
}
