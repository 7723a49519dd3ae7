#include "dock/transition_picker.h"

#include "base/module_host.h"
#include "dock/dock_host.h"
#include "dock/name_lists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

namespace {

// Shorter lengths than this do not make a visible transition.
constexpr int shortestLengthMs = 50;

} // namespace

TransitionPicker::TransitionPicker(DockHost &host_)
    : transitionCombo(new QComboBox), lengthSpin(new QSpinBox), host(host_)
{
	auto *layout = new QHBoxLayout(this);
	layout->setContentsMargins(0, 0, 0, 0);

	transitionCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
	transitionCombo->setMinimumContentsLength(6);
	layout->addWidget(transitionCombo, 1);

	lengthSpin->setRange(0, PresetBounds::maxTransitionMs);
	lengthSpin->setSingleStep(100);
	lengthSpin->setSuffix(QStringLiteral(" ms"));
	lengthSpin->setSpecialValueText(moduleText("Tr.KeepLength"));
	lengthSpin->setToolTip(moduleText("Tr.LengthHint"));
	layout->addWidget(lengthSpin, 0);

	connect(transitionCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
		updateLengthEnabled();
		if (onChanged)
			onChanged();
	});
	connect(lengthSpin, qOverload<int>(&QSpinBox::valueChanged), this, [this] {
		if (onChanged)
			onChanged();
	});
}

TransitionChoice TransitionPicker::value() const
{
	TransitionChoice choice;
	choice.name = transitionCombo->currentData().toString();
	const int ms = lengthSpin->value();
	choice.ms = ms <= 0 ? 0 : std::max(ms, shortestLengthMs);
	return choice;
}

void TransitionPicker::setValue(const TransitionChoice &choice)
{
	const QSignalBlocker comboBlocker(transitionCombo);
	const QSignalBlocker spinBlocker(lengthSpin);
	reloadList(choice.name);
	lengthSpin->setValue(std::max(0, choice.ms));
	updateLengthEnabled();
}

void TransitionPicker::reloadList(const QString &name)
{
	fixedTransitions.clear();
	QStringList names;
	for (const DockTransitionInfo &transition : host.transitions()) {
		names.append(transition.name);
		if (transition.fixed)
			fixedTransitions.insert(transition.name);
	}
	fillNameCombo(transitionCombo, moduleText("Tr.Keep"), names, name);
}

void TransitionPicker::reloadKeepingChoice()
{
	const QSignalBlocker blocker(transitionCombo);
	reloadList(transitionCombo->currentData().toString());
	updateLengthEnabled();
}

void TransitionPicker::updateLengthEnabled()
{
	lengthSpin->setEnabled(!fixedTransitions.contains(transitionCombo->currentData().toString()));
}
