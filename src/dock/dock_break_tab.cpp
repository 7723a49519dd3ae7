// The Break page: scene, length, text and the transitions into and out of the break.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/page_widgets.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

QWidget *StandbyDock::buildBreakTab()
{
	auto *page = new QWidget;
	QFormLayout *form = makeFormLayout(page);

	breakSceneCombo = addSceneRow(form, "Break.Scene", "breakSceneCombo", &Preset::break_scene);
	form->addRow(moduleText("Break.Length"), buildBreakLength());

	breakTextEdit = named(new QLineEdit, "breakTextEdit");
	connect(breakTextEdit, &QLineEdit::textChanged, this, &StandbyDock::restartTextTimer);
	form->addRow(moduleText("Break.Text"), breakTextEdit);

	toBreakPicker = addPickerRow(form, "Tr.ToBreak", "toBreakPicker", &Preset::to_break);
	fromBreakPicker = addPickerRow(form, "Tr.FromBreak", "fromBreakPicker", &Preset::from_break);

	form->addRow(makeHelpLabel(moduleText("Break.Help")));
	return page;
}

QWidget *StandbyDock::buildBreakLength()
{
	breakMinutesSpin = named(makeSpin(0, 999, moduleText("Count.Minutes")), "breakMinutesSpin");
	breakSecondsSpin = named(makeSpin(0, 59, moduleText("Count.Seconds")), "breakSecondsSpin");
	auto *block = new QWidget;
	auto *layout = new QVBoxLayout(block);
	layout->setContentsMargins(0, 0, 0, 0);
	layout->addLayout(makeLine({{breakMinutesSpin, 1}, {breakSecondsSpin, 1}}));
	layout->addLayout(makeQuickButtons({3, 5, 10, 15}, [this](int minutes) { quickBreakLength(minutes); }));

	for (QSpinBox *spin : {breakMinutesSpin, breakSecondsSpin}) {
		connect(spin, qOverload<int>(&QSpinBox::valueChanged), this, [this] {
			const int64_t breakMs = minutesSecondsMs(breakMinutesSpin, breakSecondsSpin);
			editPreset([breakMs](Preset &preset) { preset.break_ms = breakMs; });
		});
	}
	return block;
}

void StandbyDock::quickBreakLength(int minutes)
{
	{
		const QSignalBlocker minutesBlocker(breakMinutesSpin);
		const QSignalBlocker secondsBlocker(breakSecondsSpin);
		breakMinutesSpin->setValue(minutes);
		breakSecondsSpin->setValue(0);
	}
	const int64_t breakMs = static_cast<int64_t>(minutes) * 60000;
	editPreset([breakMs](Preset &preset) { preset.break_ms = breakMs; });
}
