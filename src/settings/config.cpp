#include "settings/config.h"

#include "module/module_host.h"
#include "settings/preset_store.h"
#include "settings/running_show.h"

#include <obs.hpp>
#include <util/platform.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString pathOverride;
bool dockShownFlag = false;
MusicRestore musicRestore;
OBSDataAutoRelease hotkeyData;
// The main file could not be read and the presets came from its backup: the next save
// must not rotate the unreadable file over that good backup.
bool mainFileUnreadable = false;

QByteArray localPath(const QString &path)
{
	return QFile::encodeName(path);
}

QString hostConfigPath(const char *file)
{
	char *path = obs_module_get_config_path(obs_current_module(), file);
	const QString result = path ? QFile::decodeName(path) : QString();
	bfree(path);
	return result;
}

// Reads a file that holds a JSON object; anything else (missing, empty, truncated, not
// JSON, an array at the top) gives null.
obs_data_t *readJsonObject(const QString &path)
{
	QFile file(path);
	if (!file.open(QIODevice::ReadOnly))
		return nullptr;
	const QByteArray text = file.readAll().trimmed();
	if (!text.startsWith('{'))
		return nullptr;
	return obs_data_create_from_json_file(localPath(path).constData());
}

// The file, or its ".bak" when the file itself cannot be read.
obs_data_t *readConfigWithBackup(const QString &path)
{
	mainFileUnreadable = false;
	if (obs_data_t *data = readJsonObject(path))
		return data;
	mainFileUnreadable = QFile::exists(path);
	return readJsonObject(path + QStringLiteral(".bak"));
}

void readPresets(obs_data_t *data)
{
	std::vector<Preset> &presets = presetList();
	OBSDataArrayAutoRelease array = obs_data_get_array(data, "presets");
	if (array) {
		const size_t count = obs_data_array_count(array);
		for (size_t i = 0; i < count; ++i) {
			OBSDataAutoRelease item = obs_data_array_item(array, i);
			Preset preset = presetFromData(item);
			if (preset.name.trimmed().isEmpty())
				preset.name = uniquePresetName(moduleText("Preset.FirstName"));
			presets.push_back(preset);
		}
		setCurrentIndex(int(obs_data_get_int(data, "current")));
	} else if (obs_data_has_user_value(data, "mode") || obs_data_has_user_value(data, "title")) {
		presets.push_back(migrateFirstRelease(data));
		moduleLog(LOG_INFO, "settings from v0.1 kept as the first preset");
	}
}

void readModuleState(obs_data_t *data)
{
	dockShownFlag = obs_data_get_bool(data, "dock_shown");
	OBSDataAutoRelease restore = obs_data_get_obj(data, "bgm_restore");
	const QString source = restore ? QString::fromUtf8(obs_data_get_string(restore, "source")) : QString();
	if (!source.isEmpty()) {
		musicRestore.pending = true;
		musicRestore.source = source;
		musicRestore.volume = obs_data_get_double(restore, "volume");
	}
	if (obs_data_t *hotkeys = obs_data_get_obj(data, "hotkeys"))
		hotkeyData = hotkeys; // adopts the reference
	readRunningShow(data);
}

// Keeps the unreadable file for the user under another name, so the save leaves the
// backup that the presets were read from in place.
void setUnreadableFileAside(const QString &path)
{
	if (!mainFileUnreadable)
		return;
	mainFileUnreadable = false;
	const QString aside = path + QStringLiteral(".unreadable");
	QFile::remove(aside);
	if (QFile::rename(path, aside))
		moduleLog(LOG_WARNING, "unreadable '%s' kept as '%s'", localPath(path).constData(),
			  localPath(aside).constData());
}

} // namespace

QString configPath()
{
	return pathOverride.isEmpty() ? hostConfigPath("config.json") : pathOverride;
}

void setConfigPathOverride(const QString &path)
{
	pathOverride = path;
}

void loadConfig()
{
	presetList().clear();
	setCurrentIndex(0);
	dockShownFlag = false;
	musicRestore = MusicRestore();
	readRunningShow(nullptr);

	const QString path = configPath();
	if (!path.isEmpty()) {
		OBSDataAutoRelease data = readConfigWithBackup(path);
		if (data) {
			readPresets(data);
			readModuleState(data);
		}
	}
	if (presetList().empty())
		presetList().push_back(defaultPreset(moduleText("Preset.FirstName")));
	setCurrentIndex(currentIndex());
	if (!hotkeyData)
		hotkeyData = obs_data_create();
	applyCurrentPreset();
}

void saveConfig()
{
	const QString path = configPath();
	if (path.isEmpty())
		return;
	const QString folder = pathOverride.isEmpty() ? hostConfigPath("") : QFileInfo(path).path();
	os_mkdirs(localPath(folder).constData());

	OBSDataAutoRelease data = obs_data_create();
	obs_data_set_int(data, "version", 2);
	obs_data_set_int(data, "current", currentIndex());
	OBSDataArrayAutoRelease array = obs_data_array_create();
	for (const Preset &preset : presetList()) {
		OBSDataAutoRelease item = presetToData(preset);
		obs_data_array_push_back(array, item);
	}
	obs_data_set_array(data, "presets", array);
	obs_data_set_bool(data, "dock_shown", dockShownFlag);
	if (musicRestore.pending) {
		OBSDataAutoRelease restore = obs_data_create();
		obs_data_set_string(restore, "source", musicRestore.source.toUtf8().constData());
		obs_data_set_double(restore, "volume", musicRestore.volume);
		obs_data_set_obj(data, "bgm_restore", restore);
	}
	if (hotkeyData)
		obs_data_set_obj(data, "hotkeys", hotkeyData);
	writeRunningShow(data);

	setUnreadableFileAside(path);
	obs_data_save_json_safe(data, localPath(path).constData(), "tmp", "bak");
}

void releaseConfig()
{
	hotkeyData = nullptr;
	presetList().clear();
	setCurrentIndex(0);
}

Preset migrateFirstRelease(obs_data_t *old)
{
	Preset preset = defaultPreset(moduleText("Preset.FirstName"));
	obs_data_set_default_int(old, "mode", 0);
	obs_data_set_default_int(old, "target_minutes", preset.target_minutes);
	obs_data_set_default_int(old, "duration_ms", preset.duration_ms);
	obs_data_set_default_string(old, "title", "Starting Soon");
	obs_data_set_default_string(old, "sub", preset.classic.sub.toUtf8().constData());
	obs_data_set_default_string(old, "messages", preset.messages.join(QLatin1Char('\n')).toUtf8().constData());
	obs_data_set_default_string(old, "end_text", preset.end_text.toUtf8().constData());
	obs_data_set_default_bool(old, "motion", true);
	obs_data_set_default_int(old, "switch_delay", 3);

	// The old keys read with the same bounds and type checks as a preset's own.
	OBSDataAutoRelease mapped = obs_data_create();
	obs_data_set_int(mapped, "count_mode", obs_data_get_int(old, "mode"));
	obs_data_set_int(mapped, "target_minutes", obs_data_get_int(old, "target_minutes"));
	obs_data_set_int(mapped, "duration_ms", obs_data_get_int(old, "duration_ms"));
	obs_data_set_int(mapped, "switch_after", obs_data_get_int(old, "switch_delay"));
	const Preset read = presetFromData(mapped);

	preset.count_mode = read.count_mode;
	preset.target_minutes = read.target_minutes;
	preset.duration_ms = read.duration_ms;
	preset.switch_after = read.switch_after;
	preset.title = QString::fromUtf8(obs_data_get_string(old, "title"));
	preset.messages = splitMessages(QString::fromUtf8(obs_data_get_string(old, "messages")));
	preset.end_text = QString::fromUtf8(obs_data_get_string(old, "end_text"));
	if (obs_data_get_bool(old, "switch_scene"))
		preset.main_scene = QString::fromUtf8(obs_data_get_string(old, "scene"));

	PresetClassic &classic = preset.classic;
	classic.layout = std::clamp(int(obs_data_get_int(old, "layout")), 0, 3);
	classic.theme = std::clamp(int(obs_data_get_int(old, "theme")), 0, 6);
	classic.font = std::clamp(int(obs_data_get_int(old, "font")), 0, 1);
	classic.background = std::clamp(int(obs_data_get_int(old, "background")), 0, 2);
	classic.image = QString::fromUtf8(obs_data_get_string(old, "image"));
	classic.motion = obs_data_get_bool(old, "motion");
	classic.sub = QString::fromUtf8(obs_data_get_string(old, "sub"));

	preset.style.color = themeColor(classic.theme);
	if (classic.font == 1)
		preset.style.font = QStringLiteral("Yu Gothic UI");
	return preset;
}

bool dockShown()
{
	return dockShownFlag;
}

void setDockShown()
{
	dockShownFlag = true;
	saveConfig();
}

MusicRestore bgmRestore()
{
	return musicRestore;
}

void setBgmRestore(const QString &source, double volume)
{
	musicRestore.pending = true;
	musicRestore.source = source;
	musicRestore.volume = volume;
	saveConfig();
}

void clearBgmRestore()
{
	musicRestore = MusicRestore();
	saveConfig();
}

bool renameBgmRestoreSource(const QString &oldName, const QString &newName)
{
	if (!musicRestore.pending || oldName.isEmpty() || oldName == newName || musicRestore.source != oldName)
		return false;
	musicRestore.source = newName;
	return true;
}

obs_data_array_t *hotkeyBinding(const char *name)
{
	return hotkeyData ? obs_data_get_array(hotkeyData, name) : nullptr;
}

void storeHotkeyBinding(const char *name, obs_data_array_t *binding)
{
	if (!hotkeyData)
		hotkeyData = obs_data_create();
	obs_data_set_array(hotkeyData, name, binding);
}
