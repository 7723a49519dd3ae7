#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QSpinBox;
class QWidget;

// Gives a widget the object name by which tests and other tools find it.
template<typename W> W *named(W *widget, const char *name)
{
	widget->setObjectName(QStringLiteral("curtainup_") + QLatin1String(name));
	return widget;
}

// The form layout every settings page uses: long rows wrap, fields grow.
QFormLayout *makeFormLayout(QWidget *page);
// A word-wrapped help text for a row spanning both columns.
QLabel *makeHelpLabel(const QString &text);
// A combo of locale texts whose items carry 0, 1, 2... in key order as their data.
QComboBox *makeDataCombo(std::initializer_list<const char *> textKeys);
// A spin box with a range and the unit text after " " as its suffix.
QSpinBox *makeSpin(int minimum, int maximum, const QString &unitText);
// Widgets side by side with their stretch factors.
QHBoxLayout *makeLine(std::initializer_list<std::pair<QWidget *, int>> widgets, bool trailingStretch = false);
// One button per length, labelled "<n><minutes text>"; a click runs `chosen` with n.
QHBoxLayout *makeQuickButtons(const std::vector<int> &minutes, const std::function<void(int)> &chosen);

// A length split into whole minutes and the seconds within the minute.
void showMinutesSeconds(QSpinBox *minutes, QSpinBox *seconds, int64_t ms);
// The length the two spin boxes show, at least one second.
int64_t minutesSecondsMs(const QSpinBox *minutes, const QSpinBox *seconds);
