// The 100 ms refresh: status lines, action labels and states, the preset lock and the
// preview picture.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/dock_director.h"
#include "dock/dock_status.h"
#include "dock/preview_view.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr char heldStyle[] = "font-size: 14pt; font-weight: bold; background-color: #D8C596; color: #0B1423;";

template<typename W> void setTextIfChanged(W *widget, const QString &text)
{
	if (widget->text() != text)
		widget->setText(text);
}

} // namespace

void StandbyDock::refreshStatus()
{
	if (!isVisible())
		return;
	const ShowSnapshot snapshot = showState().snapshot();
	applyStatusLines(snapshot);
	followPhase(snapshot.countdown.phase);
	updatePreview(snapshot);
}

void StandbyDock::applyStatusLines(const ShowSnapshot &snapshot)
{
	const DockStatus status = composeDockStatus(snapshot, director->flowStatus(), configSaveProblem());
	setTextIfChanged(stateLabel, status.large);
	removeMinuteButton->setVisible(status.timeAdjustable);
	addMinuteButton->setVisible(status.timeAdjustable);
	setTextIfChanged(detailLabel, status.detail);
	setTextIfChanged(problemLabel, status.problem);
	problemLabel->setVisible(!status.problem.isEmpty());

	setTextIfChanged(standbyButton, status.standbyText);
	mainButton->setEnabled(status.mainEnabled);
	setTextIfChanged(breakButton, status.breakText);
	breakButton->setEnabled(status.breakEnabled);
	endingButton->setEnabled(status.endingEnabled);
	cancelButton->setEnabled(status.cancelEnabled);
	setTextIfChanged(holdButton, status.holdText);
	setTextIfChanged(armButton, status.armText);
	armButton->setEnabled(status.armEnabled);
	if (armButton->toolTip() != status.armTip)
		armButton->setToolTip(status.armTip);
	const QString holdStyle = status.held ? QString::fromLatin1(heldStyle) : QString();
	if (holdButton->styleSheet() != holdStyle)
		holdButton->setStyleSheet(holdStyle);

	const bool unlocked = status.presetsUnlocked;
	presetCombo->setEnabled(unlocked);
	saveAsButton->setEnabled(unlocked);
	renameButton->setEnabled(unlocked);
	removeButton->setEnabled(unlocked && presetCount() > 1);
	const QString lockTip = unlocked ? QString() : moduleText("Preset.Locked");
	if (presetCombo->toolTip() != lockTip)
		presetCombo->setToolTip(lockTip);
}

void StandbyDock::followPhase(int phase)
{
	if (phase == lastPhase)
		return;
	if (phase == PhaseBreak)
		previewBreak->setChecked(true);
	else if (lastPhase == PhaseBreak)
		previewStandby->setChecked(true);
	lastPhase = phase;
}

void StandbyDock::updatePreview(const ShowSnapshot &snapshot)
{
	const int width = preview->width();
	const int kind = previewBreak->isChecked() ? KindBreak : KindStandby;
	if (snapshot.revision == lastPreviewRevision && width == lastPreviewWidth && kind == lastPreviewKind)
		return;
	lastPreviewRevision = snapshot.revision;
	lastPreviewWidth = width;
	lastPreviewKind = kind;

	preview->showSnapshot(snapshot, kind);
}
