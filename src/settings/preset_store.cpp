#include "settings/preset_store.h"

#include "base/module_host.h"
#include "settings/config.h"

#include <algorithm>

namespace {
std::vector<Preset> presets;
int current = 0;

struct Listener {
	int id;
	PresetListener listener;
};
std::vector<Listener> listeners;
int lastListenerId = 0;

void tellListeners(PresetEvent event)
{
	// A listener may change the presets (and so be told again) while this goes round.
	const std::vector<Listener> told = listeners;
	for (const Listener &entry : told)
		entry.listener(event);
}

int clampIndex(int index)
{
	return std::clamp(index, 0, std::max(0, int(presets.size()) - 1));
}

bool replaceName(QString &field, const QString &oldName, const QString &newName)
{
	if (field != oldName)
		return false;
	field = newName;
	return true;
}

bool renameInPreset(Preset &preset, const QString &oldName, const QString &newName)
{
	bool changed = false;
	for (QString *field : {&preset.standby_scene, &preset.bgm, &preset.op_scene, &preset.op_media,
			       &preset.main_scene, &preset.break_scene, &preset.ending_scene, &preset.ending_media,
			       &preset.to_standby.name, &preset.to_op.name, &preset.to_main.name, &preset.to_break.name,
			       &preset.from_break.name, &preset.to_ending.name})
		changed |= replaceName(*field, oldName, newName);
	return changed;
}
} // namespace

std::vector<Preset> &presetList()
{
	return presets;
}

void setCurrentIndex(int index)
{
	current = clampIndex(index);
}

int presetCount()
{
	return int(presets.size());
}

int currentIndex()
{
	return current;
}

Preset &currentPreset()
{
	return presets[size_t(current)];
}

Preset selectedPreset()
{
	return presetCount() > 0 ? currentPreset() : Preset();
}

Preset &presetAt(int index)
{
	return presets[size_t(clampIndex(index))];
}

int findPreset(const QString &name)
{
	for (size_t i = 0; i < presets.size(); ++i) {
		if (presets[i].name == name)
			return int(i);
	}
	return -1;
}

QString uniquePresetName(const QString &base)
{
	if (findPreset(base) < 0)
		return base;
	for (int n = 2; n <= 999; ++n) {
		// One arg call: a "%1" inside the base must stay text, not become a placeholder.
		const QString candidate = QStringLiteral("%1 %2").arg(base, QString::number(n));
		if (findPreset(candidate) < 0)
			return candidate;
	}
	return base;
}

int addPresetListener(PresetListener listener)
{
	listeners.push_back({++lastListenerId, std::move(listener)});
	return lastListenerId;
}

void removePresetListener(int id)
{
	listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
				       [id](const Listener &entry) { return entry.id == id; }),
			listeners.end());
}

void settlePresetEdits()
{
	tellListeners(PresetEvent::EditsWanted);
}

void announcePresetChange()
{
	if (!presets.empty())
		tellListeners(PresetEvent::Changed);
}

void selectPreset(int index)
{
	index = clampIndex(index);
	if (index == current)
		return;
	current = index;
	announcePresetChange();
	saveConfig();
	moduleLog(LOG_INFO, "preset '%s'", currentPreset().name.toUtf8().constData());
}

void updateCurrentPreset(const Preset &preset)
{
	currentPreset() = preset;
	announcePresetChange();
	saveConfig();
}

int addPreset(const Preset &preset)
{
	presets.push_back(preset);
	current = int(presets.size()) - 1;
	announcePresetChange();
	saveConfig();
	moduleLog(LOG_INFO, "preset '%s' saved", preset.name.toUtf8().constData());
	return current;
}

void removePreset(int index)
{
	if (presets.size() < 2 || index < 0 || index >= int(presets.size()))
		return;
	moduleLog(LOG_INFO, "preset '%s' removed", presets[size_t(index)].name.toUtf8().constData());
	presets.erase(presets.begin() + index);
	if (current >= index && current > 0)
		--current;
	current = clampIndex(current);
	announcePresetChange();
	saveConfig();
}

void renameSourceInPresets(const QString &oldName, const QString &newName)
{
	bool changed = false;
	if (!oldName.isEmpty() && oldName != newName) {
		for (Preset &preset : presets)
			changed |= renameInPreset(preset, oldName, newName);
	}
	changed |= renameBgmRestoreSource(oldName, newName);
	if (changed) {
		announcePresetChange();
		saveConfig();
	}
}
