#include "widget_requests.h"

#include <obs.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

namespace {

struct WidgetTask {
	QString objectName;
	bool click = false;
	bool found = false;
	bool enabled = false;
	QString text;
};

/* The first button of that name, or with `buttonsOnly` false also the first label. */
QWidget *findWidget(const QString &objectName, bool buttonsOnly)
{
	for (QWidget *widget : QApplication::allWidgets()) {
		if (widget->objectName() != objectName)
			continue;
		if (qobject_cast<QAbstractButton *>(widget) || (!buttonsOnly && qobject_cast<QLabel *>(widget)))
			return widget;
	}
	return nullptr;
}

void runOnUiThread(void *param)
{
	auto *task = static_cast<WidgetTask *>(param);
	QWidget *widget = findWidget(task->objectName, task->click);
	if (!widget)
		return;

	task->found = true;
	task->enabled = widget->isEnabled();
	if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
		task->text = button->text();
		if (task->click)
			button->click();
	} else {
		task->text = static_cast<QLabel *>(widget)->text();
	}
}

void answer(obs_data_t *request, obs_data_t *response, bool click)
{
	WidgetTask task;
	task.objectName = QString::fromUtf8(obs_data_get_string(request, "objectName"));
	task.click = click;
	obs_queue_task(OBS_TASK_UI, runOnUiThread, &task, true);

	obs_data_set_bool(response, "found", task.found);
	obs_data_set_bool(response, "enabled", task.enabled);
	if (!click)
		obs_data_set_string(response, "text", task.text.toUtf8().constData());
}

} // namespace

void clickRequest(obs_data_t *request, obs_data_t *response, void *)
{
	answer(request, response, true);
}

void widgetTextRequest(obs_data_t *request, obs_data_t *response, void *)
{
	answer(request, response, false);
}
