#include "settings/config.h"

#include "base/module_host.h"
#include "settings/armed_show.h"
#include "settings/crew_settings.h"
#include "settings/preset_store.h"
#include "settings/presenter_message.h"
#include "settings/running_show.h"
#include "settings/started_outputs.h"

#include <obs.hpp>
#include <util/platform.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

QString pathOverride;
bool dockShownFlag = false;
MusicRestore musicRestore;
OBSDataAutoRelease hotkeyData;
// Set while writing the file fails; the next write that succeeds clears it.
bool saveFailing = false;
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
// JSON, an array at the top) gives null. A UTF-8 byte-order mark, which some editors
// write, and white space before the object are skipped.
obs_data_t *readJsonObject(const QString &path)
{
	QFile file(path);
	if (!file.open(QIODevice::ReadOnly))
		return nullptr;
	QByteArray text = file.readAll();
	if (text.startsWith("\xEF\xBB\xBF"))
		text.remove(0, 3);
	text = text.trimmed();
	if (!text.startsWith('{'))
		return nullptr;
	return obs_data_create_from_json(text.constData());
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

bool holdsNumber(obs_data_t *data, const char *key)
{
	obs_data_item_t *item = obs_data_item_byname(data, key);
	const bool number = item && obs_data_item_gettype(item) == OBS_DATA_NUMBER;
	obs_data_item_release(&item);
	return number;
}

// A record whose volume is missing or unusable is dropped: restoring it would silence the
// music or blast it, so the music keeps the volume it has.
void readMusicRestore(obs_data_t *restore)
{
	const QString source = QString::fromUtf8(obs_data_get_string(restore, "source"));
	if (source.isEmpty())
		return;
	const std::optional<double> volume = holdsNumber(restore, "volume")
						     ? usableMusicVolume(obs_data_get_double(restore, "volume"))
						     : std::nullopt;
	if (!volume) {
		moduleLog(LOG_WARNING,
			  "music volume record %s has no usable volume; dropped, the music keeps its volume",
			  obs_data_get_json(restore));
		return;
	}
	musicRestore.pending = true;
	musicRestore.source = source;
	musicRestore.volume = *volume;
}

void readModuleState(obs_data_t *data)
{
	dockShownFlag = obs_data_get_bool(data, "dock_shown");
	if (OBSDataAutoRelease restore = obs_data_get_obj(data, "bgm_restore"))
		readMusicRestore(restore);
	if (obs_data_t *hotkeys = obs_data_get_obj(data, "hotkeys"))
		hotkeyData = hotkeys; // adopts the reference
	readRunningShow(data);
	readArmedShow(data);
	readStartedOutputs(data);
	readPresenterMessage(data);
	readCrewSettings(data);
}

// Unreadable files kept for the user: the newest as "config.json.unreadable", older ones
// as "config.json.unreadable.1" and up, oldest last.
constexpr int keptUnreadableFiles = 5;

QString unreadableCopyPath(const QString &path, int age)
{
	const QString newest = path + QStringLiteral(".unreadable");
	return age == 0 ? newest : newest + QLatin1Char('.') + QString::number(age);
}

// Keeps the unreadable file for the user under another name, so the save leaves the
// backup that the presets were read from in place. Earlier copies move one place older;
// the oldest beyond the kept number is removed.
void setUnreadableFileAside(const QString &path)
{
	if (!mainFileUnreadable)
		return;
	mainFileUnreadable = false;
	QFile::remove(unreadableCopyPath(path, keptUnreadableFiles - 1));
	for (int age = keptUnreadableFiles - 2; age >= 0; --age)
		QFile::rename(unreadableCopyPath(path, age), unreadableCopyPath(path, age + 1));
	const QString aside = unreadableCopyPath(path, 0);
	if (QFile::rename(path, aside))
		moduleLog(LOG_WARNING, "unreadable '%s' kept as '%s'", localPath(path).constData(),
			  localPath(aside).constData());
}

// While writing fails, a test open of the host's temporary file comes first: a folder
// that stays unwritable then adds no host error line on every edit.
bool mayTryWriting(const QString &path)
{
	if (!saveFailing)
		return true;
	QFile probe(path + QStringLiteral(".tmp"));
	return probe.open(QIODevice::WriteOnly);
}

// One warning when writing starts to fail, not one per edit, and one line when it works again.
void noteSaveResult(const QString &path, bool written)
{
	if (!written && !saveFailing)
		moduleLog(LOG_WARNING, "could not write '%s'; changes are kept in memory until a write succeeds",
			  localPath(path).constData());
	else if (written && saveFailing)
		moduleLog(LOG_INFO, "'%s' written again", localPath(path).constData());
	saveFailing = !written;
}

// A binding as JSON text for comparing; no array reads as an empty one.
std::string bindingText(obs_data_array_t *binding)
{
	OBSDataAutoRelease holder = obs_data_create();
	OBSDataArrayAutoRelease empty = obs_data_array_create();
	obs_data_set_array(holder, "binding", binding ? binding : empty.Get());
	return obs_data_get_json(holder);
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
	readArmedShow(nullptr);
	readStartedOutputs(nullptr);
	readPresenterMessage(nullptr);
	readCrewSettings(nullptr);

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
	announcePresetChange();
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
	writeArmedShow(data);
	writeStartedOutputs(data);
	writePresenterMessage(data);
	writeCrewSettings(data);

	setUnreadableFileAside(path);
	noteSaveResult(path,
		       mayTryWriting(path) && obs_data_save_json_safe(data, localPath(path).constData(), "tmp", "bak"));
}

QString configSaveProblem()
{
	return saveFailing ? moduleText("Problem.ConfigNotSaved") : QString();
}

void releaseConfig()
{
	saveFailing = false;
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

std::optional<double> usableMusicVolume(double stored)
{
	// OBS's advanced audio properties set up to 2000 % (+26 dB is 19.95) and obs-websocket's
	// SetInputVolume takes 0 to 20: a multiplier of 20 is the most the host itself sets.
	constexpr double maxVolume = 20.0;
	// Within one step of the percent field outside the range is rounding, not a bad value.
	constexpr double roundingSlack = 0.01;
	if (!std::isfinite(stored) || stored < -roundingSlack || stored > maxVolume + roundingSlack)
		return std::nullopt;
	return std::clamp(stored, 0.0, maxVolume);
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

bool storeHotkeyBinding(const char *name, obs_data_array_t *binding)
{
	if (!hotkeyData)
		hotkeyData = obs_data_create();
	OBSDataArrayAutoRelease stored = obs_data_get_array(hotkeyData, name);
	const bool changed = bindingText(stored) != bindingText(binding);
	obs_data_set_array(hotkeyData, name, binding);
	return changed;
}
