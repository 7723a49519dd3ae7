// The one path by which controls change the current preset, the debounced texts, and the
// filling of every control from the preset.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/color_button.h"
#include "dock/dock_host.h"
#include "dock/lazy_combo.h"
#include "dock/name_lists.h"
#include "dock/page_widgets.h"
#include "dock/transition_picker.h"
#include "picture/fonts.h"
#include "settings/preset_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>

#include <memory>
#include <vector>

namespace {

void selectByData(QComboBox *combo, int value)
{
	const int index = combo->findData(value);
	combo->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace

void StandbyDock::editPreset(const PresetEdit &edit)
{
	if (loading)
		return;
	Preset copy = currentPreset();
	edit(copy);
	const QScopedValueRollback<bool> own(changingPresets, true);
	updateCurrentPreset(copy);
}

void StandbyDock::followPresets(PresetEvent event)
{
	if (event == PresetEvent::EditsWanted)
		flushTexts();
	else if (!changingPresets)
		reloadFromPresets();
}

void StandbyDock::restartTextTimer()
{
	if (!loading)
		textTimer.start();
}

void StandbyDock::applyTexts()
{
	if (loading)
		return;
	const QString title = titleEdit->text();
	const QStringList messages = splitMessages(messagesEdit->toPlainText());
	const QString endText = endTextEdit->text();
	const QString holdText = holdTextEdit->text();
	const QString breakText = breakTextEdit->text();
	editPreset([&](Preset &preset) {
		preset.title = title;
		preset.messages = messages;
		preset.end_text = endText;
		preset.holdText = holdText;
		preset.break_text = breakText;
	});
}

void StandbyDock::flushTexts()
{
	if (!textTimer.isActive())
		return;
	textTimer.stop();
	applyTexts();
}

void StandbyDock::bindNameCombo(QComboBox *combo, QString Preset::*field)
{
	connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, combo, field] {
		const QString name = combo->currentData().toString();
		editPreset([field, name](Preset &preset) { preset.*field = name; });
	});
}

QCheckBox *StandbyDock::makeFlagCheck(const char *textKey, const char *name, bool Preset::*field)
{
	auto *check = named(new QCheckBox(moduleText(textKey)), name);
	connect(check, &QCheckBox::toggled, this,
		[this, field](bool on) { editPreset([field, on](Preset &preset) { preset.*field = on; }); });
	return check;
}

void StandbyDock::bindColorButton(ColorButton *button, QColor PresetStyle::*field)
{
	auto mark = std::make_shared<PresetMark>();
	button->onOpening = [this, mark] { *mark = markPreset(); };
	button->onChanged = [this, button, field, mark] {
		if (presetChangedSince(*mark, "Text.PickColor")) {
			button->setColor(currentPreset().style.*field);
			return;
		}
		const QColor color = button->color();
		editPreset([field, color](Preset &preset) { preset.style.*field = color; });
	};
}

QComboBox *StandbyDock::addSceneRow(QFormLayout *form, const char *labelKey, const char *name, QString Preset::*field)
{
	auto *combo = named(new QComboBox, name);
	bindNameCombo(combo, field);
	form->addRow(moduleText(labelKey), combo);
	return combo;
}

LazyCombo *StandbyDock::addSourceRow(QFormLayout *form, const char *labelKey, const char *name, QString Preset::*field,
				     const char *noneKey, uint32_t flags)
{
	auto *combo = named(new LazyCombo, name);
	setSourceFiller(combo, field, noneKey, flags);
	form->addRow(moduleText(labelKey), combo);
	return combo;
}

TransitionPicker *StandbyDock::addPickerRow(QFormLayout *form, const char *labelKey, const char *name,
					    TransitionChoice Preset::*field)
{
	auto *picker = named(new TransitionPicker(*host), name);
	picker->onChanged = [this, picker, field] {
		const TransitionChoice choice = picker->value();
		editPreset([field, choice](Preset &preset) { preset.*field = choice; });
	};
	form->addRow(moduleText(labelKey), picker);
	return picker;
}

void StandbyDock::setSourceFiller(LazyCombo *combo, QString Preset::*field, const char *noneKey, uint32_t flags)
{
	// Filling blocks the combo's signals and keeps the stored name, so it never writes.
	combo->filler = [this, combo, field, noneKey, flags] {
		fillSourceCombo(combo, *host, currentPreset().*field, moduleText(noneKey), flags);
	};
	bindNameCombo(combo, field);
}

void StandbyDock::fillFromPreset()
{
	const Preset preset = currentPreset();
	loading = true;
	const std::vector<QObject *> quiet = {
		untilTimeRadio,     forLengthRadio,  targetTimeEdit,   lengthMinutesSpin, lengthSecondsSpin,
		lastTenCombo,       switchAfterSpin, breakMinutesSpin, breakSecondsSpin,  stopStreamCheck,
		stopAfterSpin,      fontCombo,       boldCheck,        sizeSpin,          outlineWidthSpin,
		alignCombo,         timeFormatCombo, atoCheck,         goLiveLeadSpin,    goLiveRecordCheck,
		startOnStreamCheck,
	};
	std::vector<QSignalBlocker> blockers;
	blockers.reserve(quiet.size());
	for (QObject *object : quiet)
		blockers.emplace_back(object);

	fillCountControls(preset);
	titleEdit->setText(preset.title);
	messagesEdit->setPlainText(preset.messages.join(QLatin1Char('\n')));
	endTextEdit->setText(preset.end_text);
	holdTextEdit->setText(preset.holdText);
	atoCheck->setChecked(preset.standby_ato);
	goLiveLeadSpin->setValue(preset.go_live_lead_s);
	goLiveRecordCheck->setChecked(preset.go_live_record);
	startOnStreamCheck->setChecked(preset.start_on_stream);
	selectByData(lastTenCombo, preset.last_ten);
	switchAfterSpin->setValue(preset.switch_after);

	refreshSourceLists();
	toStandbyPicker->setValue(preset.to_standby);
	toOpPicker->setValue(preset.to_op);
	toMainPicker->setValue(preset.to_main);
	toBreakPicker->setValue(preset.to_break);
	fromBreakPicker->setValue(preset.from_break);
	toEndingPicker->setValue(preset.to_ending);

	showMinutesSeconds(breakMinutesSpin, breakSecondsSpin, preset.break_ms);
	breakTextEdit->setText(preset.break_text);
	stopStreamCheck->setChecked(preset.stop_stream);
	stopAfterSpin->setValue(preset.stop_after);
	stopAfterSpin->setEnabled(preset.stop_stream);
	fillStyleControls(preset.style);

	updateFontFileLabel();
	updateImageStatus();
	// The pickers got their lists with their values above.
	fillSceneCombos();

	loading = false;
	lastPreviewRevision = 0;
}

void StandbyDock::reloadFromPresets()
{
	flushTexts();
	reloadPresetList();
	fillFromPreset();
}

void StandbyDock::fillCountControls(const Preset &preset)
{
	// The radios are exclusive: checking one unchecks the other.
	(preset.count_mode == 0 ? untilTimeRadio : forLengthRadio)->setChecked(true);
	targetTimeEdit->setTime(QTime(preset.target_minutes / 60, preset.target_minutes % 60, 0));
	showMinutesSeconds(lengthMinutesSpin, lengthSecondsSpin, preset.duration_ms);
}

void StandbyDock::fillStyleControls(const PresetStyle &style)
{
	fontCombo->setCurrentFont(QFont(style.font.isEmpty() ? fallbackFamily() : style.font));
	boldCheck->setChecked(style.bold);
	sizeSpin->setValue(style.size);
	outlineWidthSpin->setValue(style.outline_width);
	selectByData(alignCombo, style.align);
	selectByData(timeFormatCombo, style.time_format);
	colorButton->setColor(style.color);
	outlineButton->setColor(style.outline);
}

void StandbyDock::fillSceneCombos()
{
	const Preset &preset = currentPreset();
	fillSceneCombo(standbySceneCombo, *host, preset.standby_scene, moduleText("Scene.None"));
	fillSceneCombo(opSceneCombo, *host, preset.op_scene, moduleText("Op.SceneNone"));
	fillSceneCombo(mainSceneCombo, *host, preset.main_scene, moduleText("Scene.None"));
	fillSceneCombo(breakSceneCombo, *host, preset.break_scene, moduleText("Scene.None"));
	fillSceneCombo(endingSceneCombo, *host, preset.ending_scene, moduleText("Scene.None"));
}

void StandbyDock::refreshSceneLists()
{
	fillSceneCombos();
	for (TransitionPicker *picker :
	     {toStandbyPicker, toOpPicker, toMainPicker, toBreakPicker, fromBreakPicker, toEndingPicker})
		picker->reloadKeepingChoice();
}

void StandbyDock::refreshSourceLists()
{
	for (LazyCombo *combo : {bgmCombo, opMediaCombo, endingMediaCombo})
		combo->filler();
}

void StandbyDock::refreshHostLists()
{
	refreshSceneLists();
	refreshSourceLists();
}
