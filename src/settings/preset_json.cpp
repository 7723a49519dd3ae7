// Reading and writing one preset as a host data object, with the bounds applied on reading.
#include "settings/preset.h"

#include <obs.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The keys of one object that hold numbers and those that hold booleans.
struct KeyTypes {
	std::vector<const char *> numbers;
	std::vector<const char *> booleans;
};

const KeyTypes presetKeyTypes{
	{"count_mode", "target_minutes", "duration_ms", "last_ten", "switch_after", "break_ms", "stop_after"},
	{"standby_ato", "stop_stream"}};
const KeyTypes styleKeyTypes{{"outline_width", "size", "align", "time_format"}, {"bold"}};
const KeyTypes classicKeyTypes{{"layout", "theme", "font", "background"}, {"motion"}};

bool isOneOf(const char *key, const std::vector<const char *> &keys)
{
	return std::any_of(keys.begin(), keys.end(), [key](const char *other) { return std::strcmp(key, other) == 0; });
}

// A stored value of the wrong type (a string where a number goes, say) is dropped before
// the defaults are set, so the key reads as its default instead of as zero.
void dropValuesOfOtherTypes(obs_data_t *data, const KeyTypes &keyTypes)
{
	std::vector<std::string> wrongKeys;
	for (obs_data_item_t *item = obs_data_first(data); item; obs_data_item_next(&item)) {
		const char *key = obs_data_item_get_name(item);
		const obs_data_type type = obs_data_item_gettype(item);
		if ((isOneOf(key, keyTypes.numbers) && type != OBS_DATA_NUMBER) ||
		    (isOneOf(key, keyTypes.booleans) && type != OBS_DATA_BOOLEAN))
			wrongKeys.emplace_back(key);
	}
	for (const std::string &key : wrongKeys)
		obs_data_erase(data, key.c_str());
}

QString getString(obs_data_t *data, const char *key)
{
	return QString::fromUtf8(obs_data_get_string(data, key));
}

void setString(obs_data_t *data, const char *key, const QString &value)
{
	obs_data_set_string(data, key, value.toUtf8().constData());
}

int64_t getClamped(obs_data_t *data, const char *key, int64_t low, int64_t high)
{
	return std::clamp<int64_t>(obs_data_get_int(data, key), low, high);
}

int getClampedInt(obs_data_t *data, const char *key, int low, int high)
{
	return int(getClamped(data, key, low, high));
}

QColor getColor(obs_data_t *data, const char *key, const QColor &fallback)
{
	const QColor color(getString(data, key));
	return color.isValid() ? color : fallback;
}

void setColor(obs_data_t *data, const char *key, const QColor &color)
{
	setString(data, key, color.name());
}

void readStyle(obs_data_t *data, PresetStyle &style)
{
	const PresetStyle defaults;
	style.font = getString(data, "font");
	style.font_file = getString(data, "font_file");
	style.bold = obs_data_get_bool(data, "bold");
	style.color = getColor(data, "color", defaults.color);
	style.outline = getColor(data, "outline", defaults.outline);
	style.outline_width = getClampedInt(data, "outline_width", 0, 100);
	style.size = getClampedInt(data, "size", 20, 1000);
	style.align = getClampedInt(data, "align", 0, 2);
	style.time_format = getClampedInt(data, "time_format", 0, 1);
	style.image_folder = getString(data, "image_folder");
}

void readClassic(obs_data_t *data, PresetClassic &classic)
{
	classic.layout = getClampedInt(data, "layout", 0, 3);
	classic.theme = getClampedInt(data, "theme", 0, 6);
	classic.font = getClampedInt(data, "font", 0, 1);
	classic.background = getClampedInt(data, "background", 0, 2);
	classic.image = getString(data, "image");
	classic.motion = obs_data_get_bool(data, "motion");
	classic.sub = getString(data, "sub");
}

// A member that should hold an object but holds something else reads as absent.
OBSDataAutoRelease getObject(obs_data_t *data, const char *key)
{
	return obs_data_get_obj(data, key);
}

obs_data_t *styleToData(const PresetStyle &style)
{
	obs_data_t *data = obs_data_create();
	setString(data, "font", style.font);
	setString(data, "font_file", style.font_file);
	obs_data_set_bool(data, "bold", style.bold);
	setColor(data, "color", style.color);
	setColor(data, "outline", style.outline);
	obs_data_set_int(data, "outline_width", style.outline_width);
	obs_data_set_int(data, "size", style.size);
	obs_data_set_int(data, "align", style.align);
	obs_data_set_int(data, "time_format", style.time_format);
	setString(data, "image_folder", style.image_folder);
	return data;
}

obs_data_t *classicToData(const PresetClassic &classic)
{
	obs_data_t *data = obs_data_create();
	obs_data_set_int(data, "layout", classic.layout);
	obs_data_set_int(data, "theme", classic.theme);
	obs_data_set_int(data, "font", classic.font);
	obs_data_set_int(data, "background", classic.background);
	setString(data, "image", classic.image);
	obs_data_set_bool(data, "motion", classic.motion);
	setString(data, "sub", classic.sub);
	return data;
}

void setPresetDefaults(obs_data_t *data)
{
	const Preset defaults = defaultPreset(QString());
	dropValuesOfOtherTypes(data, presetKeyTypes);
	obs_data_set_default_int(data, "count_mode", defaults.count_mode);
	obs_data_set_default_int(data, "target_minutes", defaults.target_minutes);
	obs_data_set_default_int(data, "duration_ms", defaults.duration_ms);
	obs_data_set_default_int(data, "switch_after", defaults.switch_after);
	obs_data_set_default_string(data, "holdText", defaults.holdText.toUtf8().constData());
	obs_data_set_default_int(data, "break_ms", defaults.break_ms);
	obs_data_set_default_string(data, "break_text", defaults.break_text.toUtf8().constData());
	obs_data_set_default_int(data, "stop_after", defaults.stop_after);

	if (OBSDataAutoRelease style = getObject(data, "style")) {
		dropValuesOfOtherTypes(style, styleKeyTypes);
		obs_data_set_default_bool(style, "bold", defaults.style.bold);
		obs_data_set_default_int(style, "outline_width", defaults.style.outline_width);
		obs_data_set_default_int(style, "size", defaults.style.size);
		obs_data_set_default_int(style, "align", defaults.style.align);
	}
	if (OBSDataAutoRelease classic = getObject(data, "classic")) {
		dropValuesOfOtherTypes(classic, classicKeyTypes);
		obs_data_set_default_int(classic, "layout", defaults.classic.layout);
		obs_data_set_default_int(classic, "background", defaults.classic.background);
		obs_data_set_default_bool(classic, "motion", defaults.classic.motion);
	}
}

} // namespace

TransitionChoice readTransition(obs_data_t *data, const char *key)
{
	TransitionChoice choice;
	OBSDataAutoRelease object = getObject(data, key);
	if (!object)
		return choice;
	choice.name = getString(object, "name");
	choice.ms = getClampedInt(object, "ms", 0, PresetBounds::maxTransitionMs);
	return choice;
}

void writeTransition(obs_data_t *data, const char *key, const TransitionChoice &choice)
{
	OBSDataAutoRelease object = obs_data_create();
	setString(object, "name", choice.name);
	obs_data_set_int(object, "ms", choice.ms);
	obs_data_set_obj(data, key, object);
}

Preset presetFromData(obs_data_t *data)
{
	using namespace PresetBounds;
	setPresetDefaults(data);

	Preset preset;
	preset.name = getString(data, "name");
	preset.standby_scene = getString(data, "standby_scene");
	preset.count_mode = obs_data_get_int(data, "count_mode") != 0 ? 1 : 0;
	preset.target_minutes = getClampedInt(data, "target_minutes", 0, maxTargetMinutes);
	preset.duration_ms = getClamped(data, "duration_ms", minCountMs, maxCountMs);
	preset.title = getString(data, "title");
	preset.messages = splitMessages(getString(data, "messages"));
	preset.end_text = getString(data, "end_text");
	preset.holdText = getString(data, "holdText");
	preset.standby_ato = obs_data_get_bool(data, "standby_ato");
	preset.last_ten = getClampedInt(data, "last_ten", 0, 2);
	preset.switch_after = getClampedInt(data, "switch_after", 0, 60);
	preset.bgm = getString(data, "bgm");
	preset.to_standby = readTransition(data, "to_standby");
	preset.op_scene = getString(data, "op_scene");
	preset.op_media = getString(data, "op_media");
	preset.to_op = readTransition(data, "to_op");
	preset.main_scene = getString(data, "main_scene");
	preset.to_main = readTransition(data, "to_main");
	preset.break_scene = getString(data, "break_scene");
	preset.break_ms = getClamped(data, "break_ms", minCountMs, maxCountMs);
	preset.break_text = getString(data, "break_text");
	preset.to_break = readTransition(data, "to_break");
	preset.from_break = readTransition(data, "from_break");
	preset.ending_scene = getString(data, "ending_scene");
	preset.ending_media = getString(data, "ending_media");
	preset.stop_stream = obs_data_get_bool(data, "stop_stream");
	preset.stop_after = getClampedInt(data, "stop_after", 0, 600);
	preset.to_ending = readTransition(data, "to_ending");

	if (OBSDataAutoRelease style = getObject(data, "style"))
		readStyle(style, preset.style);
	if (OBSDataAutoRelease classic = getObject(data, "classic"))
		readClassic(classic, preset.classic);
	return preset;
}

obs_data_t *presetToData(const Preset &preset)
{
	obs_data_t *data = obs_data_create();
	setString(data, "name", preset.name);
	setString(data, "standby_scene", preset.standby_scene);
	obs_data_set_int(data, "count_mode", preset.count_mode != 0 ? 1 : 0);
	obs_data_set_int(data, "target_minutes", preset.target_minutes);
	obs_data_set_int(data, "duration_ms", preset.duration_ms);
	setString(data, "title", preset.title);
	setString(data, "messages", preset.messages.join(QLatin1Char('\n')));
	setString(data, "end_text", preset.end_text);
	setString(data, "holdText", preset.holdText);
	obs_data_set_bool(data, "standby_ato", preset.standby_ato);
	obs_data_set_int(data, "last_ten", preset.last_ten);
	obs_data_set_int(data, "switch_after", preset.switch_after);
	setString(data, "bgm", preset.bgm);
	writeTransition(data, "to_standby", preset.to_standby);
	setString(data, "op_scene", preset.op_scene);
	setString(data, "op_media", preset.op_media);
	writeTransition(data, "to_op", preset.to_op);
	setString(data, "main_scene", preset.main_scene);
	writeTransition(data, "to_main", preset.to_main);
	setString(data, "break_scene", preset.break_scene);
	obs_data_set_int(data, "break_ms", preset.break_ms);
	setString(data, "break_text", preset.break_text);
	writeTransition(data, "to_break", preset.to_break);
	writeTransition(data, "from_break", preset.from_break);
	setString(data, "ending_scene", preset.ending_scene);
	setString(data, "ending_media", preset.ending_media);
	obs_data_set_bool(data, "stop_stream", preset.stop_stream);
	obs_data_set_int(data, "stop_after", preset.stop_after);
	writeTransition(data, "to_ending", preset.to_ending);

	OBSDataAutoRelease style = styleToData(preset.style);
	obs_data_set_obj(data, "style", style);
	OBSDataAutoRelease classic = classicToData(preset.classic);
	obs_data_set_obj(data, "classic", classic);
	return data;
}
