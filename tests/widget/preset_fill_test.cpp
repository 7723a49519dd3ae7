// Filling the controls from a preset never writes it back; names the host lost stay.
#include "dock_fixture.h"

#include "base/module_host.h"
#include "dock/lazy_combo.h"
#include "dock/transition_picker.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>

namespace {

constexpr char twoFullPresets[] = R"({"current": 0, "presets": [
	{"name": "Morning", "standby_scene": "Standby", "count_mode": 0, "target_minutes": 1439,
	 "title": "Good morning", "op_scene": "OP", "op_media": "Opening", "main_scene": "Main",
	 "bgm": "Music", "last_ten": 2, "switch_after": 7, "standby_ato": true,
	 "to_op": {"name": "Cut", "ms": 300}, "break_ms": 125000, "stop_stream": true, "stop_after": 45,
	 "style": {"size": 120, "align": 2, "time_format": 1, "bold": false, "outline_width": 4}},
	{"name": "Evening", "count_mode": 1, "duration_ms": 754000, "title": "Good evening",
	 "op_media": "Old clip", "bgm": "Gone music", "to_op": {"name": "Fade", "ms": 0},
	 "standby_scene": "Removed scene"}]})";

QString missing(const QString &name)
{
	return name + QLatin1Char(' ') + moduleText("Scene.Missing");
}

class PresetFill : public DockTest {
protected:
	void SetUp() override
	{
		loadPresets(twoFullPresets);
		makeDock();
	}
};

} // namespace

TEST_F(PresetFill, EveryControlShowsThePreset)
{
	EXPECT_EQ(control<QComboBox>("standbySceneCombo")->currentText(), QStringLiteral("Standby"));
	EXPECT_TRUE(control<QRadioButton>("untilTimeRadio")->isChecked());
	EXPECT_FALSE(control<QRadioButton>("forLengthRadio")->isChecked());
	EXPECT_EQ(control<QTimeEdit>("targetTimeEdit")->text(), QStringLiteral("23:59"));
	EXPECT_EQ(control<QLineEdit>("titleEdit")->text(), QStringLiteral("Good morning"));
	EXPECT_TRUE(control<QCheckBox>("atoCheck")->isChecked());
	EXPECT_EQ(control<QComboBox>("lastTenCombo")->currentData().toInt(), 2);
	EXPECT_EQ(control<QSpinBox>("switchAfterSpin")->value(), 7);
	EXPECT_EQ(control<QComboBox>("bgmCombo")->currentText(), QStringLiteral("Music"));
	EXPECT_EQ(control<QComboBox>("opSceneCombo")->currentText(), QStringLiteral("OP"));
	EXPECT_EQ(control<QComboBox>("opMediaCombo")->currentText(), QStringLiteral("Opening"));
	EXPECT_EQ(control<TransitionPicker>("toOpPicker")->value(), (TransitionChoice{QStringLiteral("Cut"), 300}));
	EXPECT_EQ(control<QSpinBox>("breakMinutesSpin")->value(), 2);
	EXPECT_EQ(control<QSpinBox>("breakSecondsSpin")->value(), 5);
	EXPECT_TRUE(control<QCheckBox>("stopStreamCheck")->isChecked());
	EXPECT_TRUE(control<QSpinBox>("stopAfterSpin")->isEnabled());
	EXPECT_EQ(control<QSpinBox>("stopAfterSpin")->value(), 45);
	EXPECT_EQ(control<QSpinBox>("sizeSpin")->value(), 120);
	EXPECT_EQ(control<QComboBox>("alignCombo")->currentData().toInt(), 2);
	EXPECT_EQ(control<QComboBox>("timeFormatCombo")->currentData().toInt(), 1);
	EXPECT_FALSE(control<QCheckBox>("boldCheck")->isChecked());
	EXPECT_EQ(control<QSpinBox>("outlineWidthSpin")->value(), 4);
	EXPECT_EQ(saves(), 0) << "building the dock writes nothing";
	EXPECT_TRUE(writtenPreset().isEmpty());
}

TEST_F(PresetFill, ChoosingAPresetRefillsWithoutWritingItBack)
{
	control<QComboBox>("presetCombo")->setCurrentIndex(1);
	EXPECT_EQ(saves(), 1) << "only the choice itself is applied";
	EXPECT_EQ(writtenPreset().value(QStringLiteral("name")).toString(), QStringLiteral("Evening"));
	EXPECT_EQ(currentPreset().standby_scene, QStringLiteral("Removed scene")) << "a lost name is kept";
	EXPECT_EQ(currentPreset().op_media, QStringLiteral("Old clip"));
	EXPECT_EQ(currentPreset().duration_ms, 754000);

	EXPECT_TRUE(control<QRadioButton>("forLengthRadio")->isChecked());
	EXPECT_EQ(control<QSpinBox>("lengthMinutesSpin")->value(), 12);
	EXPECT_EQ(control<QSpinBox>("lengthSecondsSpin")->value(), 34);
	EXPECT_EQ(control<QLineEdit>("titleEdit")->text(), QStringLiteral("Good evening"));
	EXPECT_EQ(control<QComboBox>("lastTenCombo")->currentIndex(), 0);
	EXPECT_FALSE(control<QSpinBox>("stopAfterSpin")->isEnabled());
	EXPECT_EQ(control<TransitionPicker>("toOpPicker")->value(), (TransitionChoice{QStringLiteral("Fade"), 0}));
	EXPECT_FALSE(textTimer()->isActive());

	control<QComboBox>("presetCombo")->setCurrentIndex(0);
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().op_media, QStringLiteral("Opening"));
	EXPECT_EQ(presetAt(1).op_media, QStringLiteral("Old clip")) << "the other preset was not touched";
}

TEST_F(PresetFill, DeletedSourcesShowAsMissingAndStay)
{
	control<QComboBox>("presetCombo")->setCurrentIndex(1);
	auto *media = control<QComboBox>("opMediaCombo");
	EXPECT_EQ(media->currentText(), missing(QStringLiteral("Old clip")));
	EXPECT_EQ(media->currentData().toString(), QStringLiteral("Old clip"));
	EXPECT_EQ(control<QComboBox>("bgmCombo")->currentText(), missing(QStringLiteral("Gone music")));
	EXPECT_EQ(control<QComboBox>("standbySceneCombo")->currentText(), missing(QStringLiteral("Removed scene")));

	// The operator's music is deleted while its preset is current.
	control<QComboBox>("presetCombo")->setCurrentIndex(0);
	saves();
	host->removeSource(QStringLiteral("Music"));
	dock->refreshHostLists();
	EXPECT_EQ(control<QComboBox>("bgmCombo")->currentText(), missing(QStringLiteral("Music")));
	EXPECT_EQ(currentPreset().bgm, QStringLiteral("Music"));
	EXPECT_EQ(saves(), 0);

	// It comes back under the same name: the mark goes.
	host->addSource(QStringLiteral("Music"), 2);
	dock->refreshHostLists();
	EXPECT_EQ(control<QComboBox>("bgmCombo")->currentText(), QStringLiteral("Music"));
}

TEST_F(PresetFill, OpeningAListWritesNothing)
{
	auto *bgm = control<LazyCombo>("bgmCombo");
	host->addSource(QStringLiteral("Another song"), 2);
	bgm->showPopup();
	EXPECT_EQ(bgm->count(), 4) << "none, Another song, Music, Opening";
	EXPECT_EQ(bgm->currentText(), QStringLiteral("Music"));
	bgm->hidePopup();
	EXPECT_EQ(saves(), 0);
	EXPECT_TRUE(writtenPreset().isEmpty());
}

TEST_F(PresetFill, PickingFromAListWritesThatName)
{
	auto *bgm = control<QComboBox>("bgmCombo");
	bgm->setCurrentIndex(0);
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().bgm, QString()) << "the first item means none";
	EXPECT_EQ(writtenPreset().value(QStringLiteral("bgm")).toString(), QString());

	auto *mainScene = control<QComboBox>("mainSceneCombo");
	mainScene->setCurrentIndex(mainScene->findData(QStringLiteral("Break")));
	EXPECT_EQ(currentPreset().main_scene, QStringLiteral("Break"));
	auto *toMain = control<TransitionPicker>("toMainPicker");
	toMain->lengthSpin->setValue(20);
	EXPECT_EQ(currentPreset().to_main, (TransitionChoice{QString(), 50}));
	EXPECT_EQ(saves(), 2);
}

TEST_F(PresetFill, HostListChangesKeepTheChoices)
{
	host->scenes.removeAll(QStringLiteral("OP"));
	host->transitionList.erase(host->transitionList.begin() + 1); // "Cut" goes
	dock->refreshHostLists();
	EXPECT_EQ(control<QComboBox>("opSceneCombo")->currentText(), missing(QStringLiteral("OP")));
	EXPECT_EQ(control<TransitionPicker>("toOpPicker")->value(), (TransitionChoice{QStringLiteral("Cut"), 300}));
	EXPECT_TRUE(control<TransitionPicker>("toOpPicker")->lengthSpin->isEnabled())
		<< "a transition the host lost is not known to be fixed";
	EXPECT_EQ(saves(), 0);
}

TEST_F(PresetFill, ARenameReloadShowsTheNewNameAndKeepsTyping)
{
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("typed just now"));
	host->removeSource(QStringLiteral("Opening"));
	host->addSource(QStringLiteral("Opening v2"), 8192);
	// The dock follows the preset store's news of the rename at once.
	renameSourceInPresets(QStringLiteral("Opening"), QStringLiteral("Opening v2"));
	EXPECT_EQ(control<QComboBox>("opMediaCombo")->currentText(), QStringLiteral("Opening v2"));
	EXPECT_EQ(control<QLineEdit>("titleEdit")->text(), QStringLiteral("typed just now"));
	EXPECT_EQ(currentPreset().title, QStringLiteral("typed just now"));
	EXPECT_EQ(currentPreset().op_media, QStringLiteral("Opening v2"));
	EXPECT_EQ(saves(), 2) << "the typed text, then the new name";
}
