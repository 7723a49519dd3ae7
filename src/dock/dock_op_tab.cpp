// The OP page: the opening scene and media, the main scene and the transitions to both.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/name_lists.h"
#include "dock/page_widgets.h"

#include <QFormLayout>
#include <QLabel>

QWidget *StandbyDock::buildOpTab()
{
	auto *page = new QWidget;
	QFormLayout *form = makeFormLayout(page);

	opSceneCombo = addSceneRow(form, "Op.Scene", "opSceneCombo", &Preset::op_scene);
	opMediaCombo = addSourceRow(form, "Op.Media", "opMediaCombo", &Preset::op_media, "Op.MediaAuto",
				    controllableMediaSourceFlag);
	toOpPicker = addPickerRow(form, "Tr.ToOp", "toOpPicker", &Preset::to_op);
	mainSceneCombo = addSceneRow(form, "Op.Main", "mainSceneCombo", &Preset::main_scene);
	toMainPicker = addPickerRow(form, "Tr.ToMain", "toMainPicker", &Preset::to_main);
	form->addRow(makeHelpLabel(moduleText("Op.Help")));
	return page;
}
