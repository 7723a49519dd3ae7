// The Ending page: scene, media, the timed stream stop and the transition into the ending.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/name_lists.h"
#include "dock/page_widgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

QWidget *StandbyDock::buildEndingTab()
{
	auto *page = new QWidget;
	QFormLayout *form = makeFormLayout(page);

	endingSceneCombo = addSceneRow(form, "Ending.Scene", "endingSceneCombo", &Preset::ending_scene);
	endingMediaCombo = addSourceRow(form, "Ending.Media", "endingMediaCombo", &Preset::ending_media,
					"Ending.MediaNone", controllableMediaSourceFlag);

	stopStreamCheck = named(new QCheckBox(moduleText("Ending.StopStream")), "stopStreamCheck");
	stopAfterSpin = named(makeSpin(0, 600, moduleText("Count.Seconds")), "stopAfterSpin");
	form->addRow(
		makeLine({{stopStreamCheck, 0}, {stopAfterSpin, 0}, {new QLabel(moduleText("Ending.StopTail")), 1}}));
	connect(stopStreamCheck, &QCheckBox::toggled, this, [this](bool on) {
		stopAfterSpin->setEnabled(on);
		editPreset([on](Preset &preset) { preset.stop_stream = on; });
	});
	connect(stopAfterSpin, qOverload<int>(&QSpinBox::valueChanged), this,
		[this](int seconds) { editPreset([seconds](Preset &preset) { preset.stop_after = seconds; }); });

	toEndingPicker = addPickerRow(form, "Tr.ToEnding", "toEndingPicker", &Preset::to_ending);

	form->addRow(makeHelpLabel(moduleText("Ending.Help")));
	return page;
}
