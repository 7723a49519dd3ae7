// The Standby page: scene, countdown, texts, last-ten effect, wait after zero, music and
// the transition into standby.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/name_lists.h"
#include "dock/page_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

QWidget *StandbyDock::buildStandbyTab()
{
	auto *page = new QWidget;
	QFormLayout *form = makeFormLayout(page);

	standbySceneCombo = addSceneRow(form, "Standby.Scene", "standbySceneCombo", &Preset::standby_scene);
	form->addRow(buildCountBlock());
	form->addRow(buildGoLiveBlock());

	titleEdit = named(new QLineEdit, "titleEdit");
	messagesEdit = named(new QPlainTextEdit, "messagesEdit");
	messagesEdit->setPlaceholderText(moduleText("Standby.MessagesHint"));
	messagesEdit->setToolTip(moduleText("Standby.MessagesHint"));
	messagesEdit->setMinimumHeight(70);
	messagesEdit->setMaximumHeight(110);
	endTextEdit = named(new QLineEdit, "endTextEdit");
	holdTextEdit = named(new QLineEdit, "holdTextEdit");
	for (QLineEdit *edit : {titleEdit, endTextEdit, holdTextEdit})
		connect(edit, &QLineEdit::textChanged, this, &StandbyDock::restartTextTimer);
	connect(messagesEdit, &QPlainTextEdit::textChanged, this, &StandbyDock::restartTextTimer);
	form->addRow(moduleText("Standby.Title"), titleEdit);
	form->addRow(moduleText("Standby.Messages"), messagesEdit);
	form->addRow(moduleText("Standby.End"), endTextEdit);
	form->addRow(moduleText("Standby.HoldText"), holdTextEdit);

	atoCheck = makeFlagCheck("Standby.Ato", "atoCheck", &Preset::standby_ato);
	form->addRow(QString(), atoCheck);

	lastTenCombo = named(makeDataCombo({"LastTen.None", "LastTen.Grow", "LastTen.Bounce"}), "lastTenCombo");
	connect(lastTenCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
		const int effect = lastTenCombo->currentData().toInt();
		editPreset([effect](Preset &preset) { preset.last_ten = effect; });
	});
	form->addRow(moduleText("Standby.LastTen"), lastTenCombo);

	switchAfterSpin = named(makeSpin(0, 60, moduleText("Count.Seconds")), "switchAfterSpin");
	switchAfterSpin->setToolTip(moduleText("Standby.SwitchAfterHint"));
	connect(switchAfterSpin, qOverload<int>(&QSpinBox::valueChanged), this,
		[this](int seconds) { editPreset([seconds](Preset &preset) { preset.switch_after = seconds; }); });
	form->addRow(moduleText("Standby.SwitchAfter"), switchAfterSpin);

	bgmCombo = addSourceRow(form, "Standby.Bgm", "bgmCombo", &Preset::bgm, "Standby.BgmNone", audioSourceFlag);
	form->addRow(makeHelpLabel(moduleText("Standby.BgmHelp")));

	toStandbyPicker = addPickerRow(form, "Tr.ToStandby", "toStandbyPicker", &Preset::to_standby);
	return page;
}

QWidget *StandbyDock::buildCountBlock()
{
	untilTimeRadio = named(new QRadioButton(moduleText("Count.UntilTime")), "untilTimeRadio");
	targetTimeEdit = named(new QTimeEdit, "targetTimeEdit");
	targetTimeEdit->setDisplayFormat(QStringLiteral("HH:mm"));
	forLengthRadio = named(new QRadioButton(moduleText("Count.ForLength")), "forLengthRadio");
	lengthMinutesSpin = named(makeSpin(0, 999, moduleText("Count.Minutes")), "lengthMinutesSpin");
	lengthSecondsSpin = named(makeSpin(0, 59, moduleText("Count.Seconds")), "lengthSecondsSpin");

	auto *block = new QWidget;
	auto *layout = new QVBoxLayout(block);
	layout->setContentsMargins(0, 0, 0, 0);
	// The radios share this parent, which makes them exclusive.
	layout->addLayout(makeLine({{untilTimeRadio, 0}, {targetTimeEdit, 1}}));
	layout->addLayout(makeLine({{forLengthRadio, 0}, {lengthMinutesSpin, 1}, {lengthSecondsSpin, 1}}));
	layout->addLayout(makeQuickButtons({3, 5, 10, 15, 30}, [this](int minutes) { quickStandbyLength(minutes); }));

	connect(untilTimeRadio, &QRadioButton::toggled, this, &StandbyDock::commitCount);
	connect(targetTimeEdit, &QTimeEdit::timeChanged, this, [this] { chooseLengthMode(false); });
	connect(lengthMinutesSpin, qOverload<int>(&QSpinBox::valueChanged), this, [this] { chooseLengthMode(true); });
	connect(lengthSecondsSpin, qOverload<int>(&QSpinBox::valueChanged), this, [this] { chooseLengthMode(true); });
	return block;
}

QWidget *StandbyDock::buildGoLiveBlock()
{
	goLiveLeadSpin =
		named(makeSpin(0, PresetBounds::maxGoLiveLeadS, moduleText("Count.Seconds")), "goLiveLeadSpin");
	goLiveLeadSpin->setSingleStep(30);
	goLiveLeadSpin->setToolTip(moduleText("GoLive.LeadHint"));
	connect(goLiveLeadSpin, qOverload<int>(&QSpinBox::valueChanged), this,
		[this](int seconds) { editPreset([seconds](Preset &preset) { preset.go_live_lead_s = seconds; }); });
	goLiveRecordCheck = makeFlagCheck("GoLive.Record", "goLiveRecordCheck", &Preset::go_live_record);
	startOnStreamCheck = makeFlagCheck("GoLive.StartOnStream", "startOnStreamCheck", &Preset::start_on_stream);

	auto *block = new QWidget;
	auto *layout = new QVBoxLayout(block);
	layout->setContentsMargins(0, 0, 0, 0);
	layout->addLayout(makeLine({{new QLabel(moduleText("GoLive.Lead")), 0}, {goLiveLeadSpin, 1}}));
	layout->addWidget(goLiveRecordCheck);
	layout->addWidget(startOnStreamCheck);
	return block;
}

void StandbyDock::commitCount()
{
	const int mode = untilTimeRadio->isChecked() ? 0 : 1;
	const QTime time = targetTimeEdit->time();
	const int targetMinutes = time.hour() * 60 + time.minute();
	const int64_t durationMs = minutesSecondsMs(lengthMinutesSpin, lengthSecondsSpin);
	editPreset([mode, targetMinutes, durationMs](Preset &preset) {
		preset.count_mode = mode;
		preset.target_minutes = targetMinutes;
		preset.duration_ms = durationMs;
	});
}

void StandbyDock::chooseLengthMode(bool forLength)
{
	if (loading)
		return;
	QRadioButton *chosen = forLength ? forLengthRadio : untilTimeRadio;
	if (!chosen->isChecked()) {
		// Both radios stay quiet: the one commit below writes the mode with the value.
		const QSignalBlocker untilBlocker(untilTimeRadio);
		const QSignalBlocker forBlocker(forLengthRadio);
		chosen->setChecked(true);
	}
	commitCount();
}

void StandbyDock::quickStandbyLength(int minutes)
{
	{
		const QSignalBlocker untilBlocker(untilTimeRadio);
		const QSignalBlocker forBlocker(forLengthRadio);
		const QSignalBlocker minutesBlocker(lengthMinutesSpin);
		const QSignalBlocker secondsBlocker(lengthSecondsSpin);
		forLengthRadio->setChecked(true);
		lengthMinutesSpin->setValue(minutes);
		lengthSecondsSpin->setValue(0);
	}
	const int64_t durationMs = static_cast<int64_t>(minutes) * 60000;
	editPreset([durationMs](Preset &preset) {
		preset.count_mode = 1;
		preset.duration_ms = durationMs;
	});
}
