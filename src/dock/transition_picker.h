#pragma once

#include "settings/preset.h"

#include <QSet>
#include <QString>
#include <QWidget>

#include <functional>

class DockHost;
class QComboBox;
class QSpinBox;

// A host transition (or the current one) and a length in ms (0: the current length).
class TransitionPicker : public QWidget {
	Q_OBJECT

public:
	explicit TransitionPicker(DockHost &host);

	std::function<void()> onChanged;

	// Lengths of 1 to 50 ms come out as 50.
	TransitionChoice value() const;
	// Shows the choice without running `onChanged`.
	void setValue(const TransitionChoice &choice);
	// Rebuilds the list for the shown choice without running `onChanged`.
	void reloadKeepingChoice();

	QComboBox *transitionCombo;
	QSpinBox *lengthSpin;

private:
	// Rebuilds the list from the host, keeping `name` (marked missing when the host lacks it).
	void reloadList(const QString &name);
	void updateLengthEnabled();

	DockHost &host;
	QSet<QString> fixedTransitions;
};
