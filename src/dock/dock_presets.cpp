// The preset row: choosing, saving under a new name, renaming and removing presets.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/dock_director.h"
#include "settings/preset_store.h"
#include "show/action_rules.h"
#include "show/show_state.h"

#include <QComboBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace {

// The trimmed answer, or an empty text when the dialog was cancelled.
QString askPresetName(QWidget *parent, const char *titleKey, const QString &proposal)
{
	bool accepted = false;
	const QString answer = QInputDialog::getText(parent, moduleText(titleKey), moduleText("Preset.NamePrompt"),
						     QLineEdit::Normal, proposal, &accepted);
	return accepted ? answer.trimmed() : QString();
}

bool askYesNo(QWidget *parent, const char *titleKey, const QString &text)
{
	return QMessageBox::question(parent, moduleText(titleKey), text, QMessageBox::Yes | QMessageBox::No) ==
	       QMessageBox::Yes;
}

} // namespace

void StandbyDock::reloadPresetList()
{
	const QSignalBlocker blocker(presetCombo);
	presetCombo->clear();
	for (int i = 0; i < presetCount(); ++i)
		presetCombo->addItem(presetAt(i).name, i);
	presetCombo->setCurrentIndex(currentIndex());
	removeButton->setEnabled(presetCount() > 1);
}

bool StandbyDock::refusedWhileLocked(const char *titleKey)
{
	// A hotkey or another plug-in may start the show while a dialog of this row is open.
	if (actionRules(showState().phase(), director->flowStatus()).presetsUnlocked)
		return false;
	QMessageBox::information(this, moduleText(titleKey), moduleText("Preset.Locked"), QMessageBox::Ok);
	return true;
}

StandbyDock::PresetMark StandbyDock::markPreset() const
{
	return {currentIndex(), currentPreset().name};
}

bool StandbyDock::presetChangedSince(const PresetMark &mark, const char *titleKey)
{
	if (currentIndex() == mark.index && currentPreset().name == mark.name)
		return false;
	QMessageBox::information(this, moduleText(titleKey), moduleText("Preset.ChangedMeanwhile"), QMessageBox::Ok);
	return true;
}

bool StandbyDock::refusedAfterDialog(const PresetMark &mark, const char *titleKey)
{
	return refusedWhileLocked(titleKey) || presetChangedSince(mark, titleKey);
}

void StandbyDock::choosePreset(int index)
{
	if (loading || index < 0)
		return;
	flushTexts();
	{
		const QScopedValueRollback<bool> own(changingPresets, true);
		selectPreset(presetCombo->itemData(index).toInt());
	}
	fillFromPreset();
}

void StandbyDock::savePresetAs()
{
	flushTexts();
	const PresetMark mark = markPreset();
	const QString name = askPresetName(this, "Preset.SaveAs", uniquePresetName(currentPreset().name));
	if (name.isEmpty() || refusedAfterDialog(mark, "Preset.SaveAs"))
		return;
	Preset copy = currentPreset();
	copy.name = name;
	const int existing = findPreset(name);
	if (existing == currentIndex())
		return;
	if (existing < 0) {
		const QScopedValueRollback<bool> own(changingPresets, true);
		addPreset(copy);
	} else {
		if (!askYesNo(this, "Preset.SaveAs", moduleText("Preset.Overwrite").arg(name)) ||
		    refusedAfterDialog(mark, "Preset.SaveAs"))
			return;
		const QScopedValueRollback<bool> own(changingPresets, true);
		selectPreset(existing);
		updateCurrentPreset(copy);
	}
	reloadPresetList();
	fillFromPreset();
}

void StandbyDock::renamePreset()
{
	const PresetMark mark = markPreset();
	const QString name = askPresetName(this, "Preset.Rename", currentPreset().name);
	if (name.isEmpty() || refusedAfterDialog(mark, "Preset.Rename") || name == currentPreset().name)
		return;
	if (findPreset(name) >= 0) {
		QMessageBox::information(this, moduleText("Preset.Rename"), moduleText("Preset.NameUsed").arg(name),
					 QMessageBox::Ok);
		return;
	}
	Preset copy = currentPreset();
	copy.name = name;
	const QScopedValueRollback<bool> own(changingPresets, true);
	updateCurrentPreset(copy);
	reloadPresetList();
}

void StandbyDock::removeCurrentPreset()
{
	if (presetCount() < 2)
		return;
	const PresetMark mark = markPreset();
	if (!askYesNo(this, "Preset.Remove", moduleText("Preset.RemoveConfirm").arg(currentPreset().name)) ||
	    refusedAfterDialog(mark, "Preset.Remove"))
		return;
	// Text typed for the preset that goes away goes with it.
	textTimer.stop();
	const QScopedValueRollback<bool> own(changingPresets, true);
	removePreset(currentIndex());
	reloadPresetList();
	fillFromPreset();
}
