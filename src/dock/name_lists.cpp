#include "dock/name_lists.h"

#include "base/module_host.h"
#include "dock/dock_host.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

void fillNameCombo(QComboBox *combo, const QString &noneText, const QStringList &names, const QString &stored)
{
	combo->clear();
	combo->addItem(noneText, QString());
	for (const QString &name : names)
		combo->addItem(name, name);
	int index = stored.isEmpty() ? 0 : combo->findData(stored, Qt::UserRole, Qt::MatchExactly);
	if (index < 0) {
		combo->addItem(stored + QLatin1Char(' ') + moduleText("Scene.Missing"), stored);
		index = combo->count() - 1;
	}
	combo->setCurrentIndex(index);
}

void fillSceneCombo(QComboBox *combo, DockHost &host, const QString &stored, const QString &noneText)
{
	const QSignalBlocker blocker(combo);
	fillNameCombo(combo, noneText, host.sceneNames(), stored);
}

void fillSourceCombo(QComboBox *combo, DockHost &host, const QString &stored, const QString &noneText, uint32_t flags)
{
	QStringList names;
	for (const DockSourceInfo &source : host.sources()) {
		if ((source.outputFlags & flags) != 0 && source.id != QLatin1String(countdownSourceId))
			names.append(source.name);
	}
	std::sort(names.begin(), names.end(),
		  [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
	const QSignalBlocker blocker(combo);
	fillNameCombo(combo, noneText, names, stored);
}
