// Reading and writing one preset as a host data object, with the bounds applied on reading.
#include "settings/preset.h"

#include <obs.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

namespace {

// The keys of one object that hold numbers and those that hold booleans.
struct KeyTypes {
	std::vector<const char *> numbers;
	std::vector<const char *> booleans;
};

const KeyTypes presetKeyTypes{{"count_mode", "target_minutes", "go_live_lead_s", "duration_ms", "last_ten",
			       "switch_after", "break_ms", "stop_after"},
			      {"go_live_record", "start_on_stream", "standby_ato", "stop_stream"}};

// One member of a record kept under one key of its own data object, with the bounds a
// number is read with. The style and the first release's look are read, written and
// type-checked from their tables of members.
template<typename Record> struct Member {
	const char *key;
	std::variant<int Record::*, bool Record::*, QString Record::*, QColor Record::*> field;
	int low = 0;
	int high = 0;
};

const Member<PresetStyle> styleMembers[] = {
	{"font", &PresetStyle::font},
	{"font_file", &PresetStyle::font_file},
	{"bold", &PresetStyle::bold},
	{"color", &PresetStyle::color},
	{"outline", &PresetStyle::outline},
	{"outline_width", &PresetStyle::outline_width, 0, PresetBounds::maxOutlineWidth},
	{"size", &PresetStyle::size, PresetBounds::minTextSize, PresetBounds::maxTextSize},
	{"align", &PresetStyle::align, 0, 2},
	{"time_format", &PresetStyle::time_format, 0, 1},
	{"image_folder", &PresetStyle::image_folder},
};

const Member<PresetClassic> classicMembers[] = {
	{"layout", &PresetClassic::layout, 0, 3},
	{"theme", &PresetClassic::theme, 0, 6},
	{"font", &PresetClassic::font, 0, 1},
	{"background", &PresetClassic::background, 0, 2},
	{"image", &PresetClassic::image},
	{"motion", &PresetClassic::motion},
	{"sub", &PresetClassic::sub},
};

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

// A member that should hold an object but holds something else reads as absent.
OBSDataAutoRelease getObject(obs_data_t *data, const char *key)
{
	return obs_data_get_obj(data, key);
}

template<typename Record, size_t N> KeyTypes keyTypesOf(const Member<Record> (&members)[N])
{
	KeyTypes types;
	for (const Member<Record> &member : members) {
		if (std::holds_alternative<int Record::*>(member.field))
			types.numbers.push_back(member.key);
		else if (std::holds_alternative<bool Record::*>(member.field))
			types.booleans.push_back(member.key);
	}
	return types;
}

int readMember(obs_data_t *data, const char *key, int, int low, int high)
{
	return getClampedInt(data, key, low, high);
}

bool readMember(obs_data_t *data, const char *key, bool, int, int)
{
	return obs_data_get_bool(data, key);
}

QString readMember(obs_data_t *data, const char *key, const QString &, int, int)
{
	return getString(data, key);
}

QColor readMember(obs_data_t *data, const char *key, const QColor &fallback, int, int)
{
	return getColor(data, key, fallback);
}

// Values of another type are dropped first, so that a missing or mistyped number or flag
// reads as the record's default.
template<typename Record, size_t N>
void readMembers(obs_data_t *data, Record &record, const Member<Record> (&members)[N])
{
	const Record defaults;
	dropValuesOfOtherTypes(data, keyTypesOf(members));
	for (const Member<Record> &member : members) {
		if (const auto *number = std::get_if<int Record::*>(&member.field))
			obs_data_set_default_int(data, member.key, defaults.**number);
		else if (const auto *flag = std::get_if<bool Record::*>(&member.field))
			obs_data_set_default_bool(data, member.key, defaults.**flag);
	}
	for (const Member<Record> &member : members)
		std::visit(
			[&](auto field) {
				record.*field = readMember(data, member.key, defaults.*field, member.low, member.high);
			},
			member.field);
}

void writeMember(obs_data_t *data, const char *key, int value)
{
	obs_data_set_int(data, key, value);
}

void writeMember(obs_data_t *data, const char *key, bool value)
{
	obs_data_set_bool(data, key, value);
}

void writeMember(obs_data_t *data, const char *key, const QString &value)
{
	setString(data, key, value);
}

void writeMember(obs_data_t *data, const char *key, const QColor &value)
{
	setColor(data, key, value);
}

// Returns a new data object (caller owns the reference).
template<typename Record, size_t N> obs_data_t *membersToData(const Record &record, const Member<Record> (&members)[N])
{
	obs_data_t *data = obs_data_create();
	for (const Member<Record> &member : members)
		std::visit([&](auto field) { writeMember(data, member.key, record.*field); }, member.field);
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
	obs_data_set_default_int(data, "go_live_lead_s", defaults.go_live_lead_s);
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
	preset.go_live_lead_s = getClampedInt(data, "go_live_lead_s", 0, maxGoLiveLeadS);
	preset.go_live_record = obs_data_get_bool(data, "go_live_record");
	preset.start_on_stream = obs_data_get_bool(data, "start_on_stream");
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
		readMembers(style, preset.style, styleMembers);
	if (OBSDataAutoRelease classic = getObject(data, "classic"))
		readMembers(classic, preset.classic, classicMembers);
	return preset;
}

obs_data_t *presetToData(const Preset &preset)
{
	obs_data_t *data = obs_data_create();
	setString(data, "name", preset.name);
	setString(data, "standby_scene", preset.standby_scene);
	obs_data_set_int(data, "count_mode", preset.count_mode != 0 ? 1 : 0);
	obs_data_set_int(data, "target_minutes", preset.target_minutes);
	obs_data_set_int(data, "go_live_lead_s", preset.go_live_lead_s);
	obs_data_set_bool(data, "go_live_record", preset.go_live_record);
	obs_data_set_bool(data, "start_on_stream", preset.start_on_stream);
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

	OBSDataAutoRelease style = membersToData(preset.style, styleMembers);
	obs_data_set_obj(data, "style", style);
	OBSDataAutoRelease classic = membersToData(preset.classic, classicMembers);
	obs_data_set_obj(data, "classic", classic);
	return data;
}
