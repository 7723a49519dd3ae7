// Every field of a preset survives config.json. The table below must name each field: a
// test counts the record's fields, so a new one that is not in the table fails.
#include "settings/config.h"
#include "settings/preset_store.h"
#include "temp_config.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

// Stands in for any value in a brace initializer, to count the fields of a record.
struct AnyValue {
	template<typename T> operator T() const;
};

template<typename T, size_t... I>
constexpr auto bracesTake(std::index_sequence<I...>) -> decltype(T{(void(I), AnyValue())...}, true)
{
	return true;
}

template<typename T> constexpr bool bracesTake(...)
{
	return false;
}

// The most values a brace initializer of the record takes: its number of fields.
template<typename T, size_t N = 0> constexpr size_t fieldCount()
{
	if constexpr (bracesTake<T>(std::make_index_sequence<N + 1>()))
		return fieldCount<T, N + 1>();
	else
		return N;
}

struct PresetField {
	const char *name;
	std::function<void(Preset &)> setOther; // a value unlike both defaults, within bounds
	std::function<bool(const Preset &, const Preset &)> same;
};

// clang-format off
#define FIELD(member, value)                                                              \
	PresetField{#member, [](Preset &preset) { preset.member = value; },               \
		    [](const Preset &a, const Preset &b) { return a.member == b.member; }}
// clang-format on

const std::vector<PresetField> &presetFields()
{
	static const std::vector<PresetField> fields = {
		FIELD(name, "Round trip"),
		FIELD(standby_scene, "Standby scene"),
		FIELD(count_mode, 0),
		FIELD(target_minutes, 75),
		FIELD(duration_ms, 123000),
		FIELD(go_live_lead_s, 90),
		FIELD(go_live_record, true),
		FIELD(start_on_stream, true),
		FIELD(title, "Title"),
		FIELD(messages, (QStringList{"one", "two"})),
		FIELD(end_text, "End text"),
		FIELD(holdText, "Hold text"),
		FIELD(standby_ato, true),
		FIELD(last_ten, 2),
		FIELD(switch_after, 7),
		FIELD(bgm, "Music"),
		FIELD(to_standby, (TransitionChoice{"Fade", 300})),
		FIELD(op_scene, "OP"),
		FIELD(op_media, "Opening"),
		FIELD(to_op, (TransitionChoice{"Swipe", 400})),
		FIELD(main_scene, "Main"),
		FIELD(to_main, (TransitionChoice{"Cut", 500})),
		FIELD(break_scene, "Break"),
		FIELD(break_ms, 90000),
		FIELD(break_text, "Break text"),
		FIELD(to_break, (TransitionChoice{"Luma", 600})),
		FIELD(from_break, (TransitionChoice{"Slide", 700})),
		FIELD(ending_scene, "Ending"),
		FIELD(ending_media, "Ending media"),
		FIELD(stop_stream, true),
		FIELD(stop_after, 45),
		FIELD(to_ending, (TransitionChoice{"Stinger", 800})),
		FIELD(style.font, "Noto Sans"),
		FIELD(style.font_file, "/fonts/round.ttf"),
		FIELD(style.bold, false),
		FIELD(style.color, QColor(1, 2, 3)),
		FIELD(style.outline, QColor(4, 5, 6)),
		FIELD(style.outline_width, 12),
		FIELD(style.size, 150),
		FIELD(style.align, 2),
		FIELD(style.time_format, 1),
		FIELD(style.image_folder, "/glyphs"),
		FIELD(classic.layout, 1),
		FIELD(classic.theme, 4),
		FIELD(classic.font, 1),
		FIELD(classic.background, 0),
		FIELD(classic.image, "old.png"),
		FIELD(classic.motion, false),
		FIELD(classic.sub, "Sub"),
	};
	return fields;
}

} // namespace

TEST(PresetRoundTrip, TheTableNamesEveryField)
{
	// "style" and "classic" count as their own fields.
	const size_t fields = fieldCount<Preset>() - 2 + fieldCount<PresetStyle>() + fieldCount<PresetClassic>();
	EXPECT_EQ(presetFields().size(), fields) << "a Preset field is missing from this table";
}

TEST(PresetRoundTrip, EveryFieldSurvivesConfigJson)
{
	TempConfig config;
	loadConfig();
	Preset changed = currentPreset();
	for (const PresetField &field : presetFields())
		field.setOther(changed);
	for (const PresetField &field : presetFields()) {
		EXPECT_FALSE(field.same(changed, Preset())) << field.name << " keeps its default";
		EXPECT_FALSE(field.same(changed, defaultPreset(QString()))) << field.name << " keeps its default";
	}
	presetList().push_back(changed);
	setCurrentIndex(1);
	saveConfig();

	releaseConfig();
	loadConfig();
	ASSERT_EQ(presetCount(), 2);
	for (const PresetField &field : presetFields())
		EXPECT_TRUE(field.same(currentPreset(), changed)) << field.name;
	releaseConfig();
}
