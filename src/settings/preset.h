#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>

struct obs_data;
typedef struct obs_data obs_data_t;

// A transition by name (empty: the host's current one) and a length in ms (0: keep).
struct TransitionChoice {
	QString name;
	int ms = 0;

	bool operator==(const TransitionChoice &other) const { return name == other.name && ms == other.ms; }
	bool operator!=(const TransitionChoice &other) const { return !(*this == other); }
};

struct PresetStyle {
	QString font;
	QString font_file;
	bool bold = true;
	QColor color = QColor(0xE7, 0x7C, 0xAC);
	QColor outline = QColor(0xFF, 0xFF, 0xFF);
	int outline_width = 10;
	int size = 200;
	int align = 1;       // 0 left, 1 centre, 2 right
	int time_format = 0; // 0 with colons, 1 with units
	QString image_folder;
};

// The look of the first release, carried along so nothing of an old file is lost.
struct PresetClassic {
	int layout = 3;
	int theme = 0;
	int font = 0;
	int background = 2;
	QString image;
	bool motion = true;
	QString sub;
};

// One named, complete set of show settings. Field names follow the JSON keys.
struct Preset {
	QString name;
	QString standby_scene;
	int count_mode = 1; // 1: count down duration_ms; 0: count down to target_minutes
	int target_minutes = 1260;
	// The unattended show: the stream starts this long before the show time, with the
	// recording too when asked; and a stream started by anyone starts the standby.
	int go_live_lead_s = 300;
	bool go_live_record = false;
	bool start_on_stream = false;
	int64_t duration_ms = 600000;
	QString title;
	QStringList messages;
	QString end_text;
	QString holdText;
	bool standby_ato = false;
	int last_ten = 0; // 0 none, 1 grow, 2 bounce
	int switch_after = 3;
	QString bgm;
	TransitionChoice to_standby;
	QString op_scene;
	QString op_media;
	TransitionChoice to_op;
	QString main_scene;
	TransitionChoice to_main;
	QString break_scene;
	int64_t break_ms = 300000;
	QString break_text;
	TransitionChoice to_break;
	TransitionChoice from_break;
	QString ending_scene;
	QString ending_media;
	bool stop_stream = false;
	int stop_after = 30;
	TransitionChoice to_ending;
	PresetStyle style;
	PresetClassic classic;
};

namespace PresetBounds {
constexpr int64_t minCountMs = 1000;
constexpr int64_t maxCountMs = 86400000;
constexpr int maxTargetMinutes = 1439;
constexpr int maxGoLiveLeadS = 3600;
constexpr int maxTransitionMs = 20000;
// The style's text size in pixels, from which every size of the picture derives.
constexpr int minTextSize = 20;
constexpr int maxTextSize = 1000;
constexpr int maxOutlineWidth = 100;
} // namespace PresetBounds

// The colours of the first release's seven themes.
QColor themeColor(int theme);

Preset defaultPreset(const QString &name);
QStringList splitMessages(const QString &text);

Preset presetFromData(obs_data_t *data);
// Returns a new data object (caller owns the reference).
obs_data_t *presetToData(const Preset &preset);

TransitionChoice readTransition(obs_data_t *data, const char *key);
void writeTransition(obs_data_t *data, const char *key, const TransitionChoice &choice);
