#include "settings/preset_store.h"

#include "director/show_state.h"
#include "module/module_host.h"
#include "settings/config.h"

#include <algorithm>

namespace {
std::vector<Preset> presets;
int current = 0;

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

void applyCurrentPreset()
{
	if (!presets.empty())
		showState().applyPreset(currentPreset());
}

void selectPreset(int index)
{
	index = clampIndex(index);
	if (index == current)
		return;
	current = index;
	applyCurrentPreset();
	saveConfig();
	moduleLog(LOG_INFO, "preset '%s'", currentPreset().name.toUtf8().constData());
}

void updateCurrentPreset(const Preset &preset)
{
	currentPreset() = preset;
	applyCurrentPreset();
	saveConfig();
}

int addPreset(const Preset &preset)
{
	presets.push_back(preset);
	current = int(presets.size()) - 1;
	applyCurrentPreset();
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
	applyCurrentPreset();
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
		applyCurrentPreset();
		saveConfig();
	}
}
