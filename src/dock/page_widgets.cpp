#include "dock/page_widgets.h"

#include "base/module_host.h"
#include "settings/preset.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

QFormLayout *makeFormLayout(QWidget *page)
{
	auto *form = new QFormLayout(page);
	form->setRowWrapPolicy(QFormLayout::WrapLongRows);
	form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
	return form;
}

QLabel *makeHelpLabel(const QString &text)
{
	auto *label = new QLabel(text);
	label->setWordWrap(true);
	return label;
}

QComboBox *makeDataCombo(std::initializer_list<const char *> textKeys)
{
	auto *combo = new QComboBox;
	int data = 0;
	for (const char *key : textKeys)
		combo->addItem(moduleText(key), data++);
	return combo;
}

QSpinBox *makeSpin(int minimum, int maximum, const QString &unitText)
{
	auto *spin = new QSpinBox;
	spin->setRange(minimum, maximum);
	spin->setSuffix(QLatin1Char(' ') + unitText);
	return spin;
}

QHBoxLayout *makeLine(std::initializer_list<std::pair<QWidget *, int>> widgets, bool trailingStretch)
{
	auto *layout = new QHBoxLayout;
	for (const auto &[widget, stretch] : widgets)
		layout->addWidget(widget, stretch);
	if (trailingStretch)
		layout->addStretch();
	return layout;
}

QHBoxLayout *makeQuickButtons(const std::vector<int> &minutes, const std::function<void(int)> &chosen)
{
	auto *layout = new QHBoxLayout;
	const QString unit = moduleText("Count.Minutes");
	for (const int n : minutes) {
		auto *button = new QPushButton(QString::number(n) + unit);
		QObject::connect(button, &QPushButton::clicked, button, [chosen, n] { chosen(n); });
		layout->addWidget(button);
	}
	return layout;
}

void showMinutesSeconds(QSpinBox *minutes, QSpinBox *seconds, int64_t ms)
{
	const int64_t wholeMinutes = ms / 60000;
	minutes->setValue(static_cast<int>(wholeMinutes));
	seconds->setValue(static_cast<int>(ms / 1000 - wholeMinutes * 60));
}

int64_t minutesSecondsMs(const QSpinBox *minutes, const QSpinBox *seconds)
{
	const int64_t ms =
		static_cast<int64_t>(minutes->value()) * 60000 + static_cast<int64_t>(seconds->value()) * 1000;
	return std::max(PresetBounds::minCountMs, ms);
}
