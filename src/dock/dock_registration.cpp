#include "dock/dock_registration.h"

#include "base/module_host.h"
#include "settings/config.h"

#include <obs-frontend-api.h>

#include <QDockWidget>
#include <QMainWindow>

#include <dlfcn.h>

namespace {

constexpr char dockId[] = "curtainup_main";

// OBS 30 and newer.
using AddDockById = bool (*)(const char *id, const char *title, void *widget);
// OBS 31 and older: takes a QDockWidget.
using AddDock = void *(*)(void *dock);

template<typename Function> Function frontendFunction(const char *name)
{
	return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// Like the newer hosts: a container with the id as its object name, a child of the main
// window so the host's saved window state can restore it, floating and hidden until
// placed.
bool addInOwnContainer(AddDock addDock, QWidget *dock, const QString &title)
{
	auto *mainWindow = static_cast<QMainWindow *>(obs_frontend_get_main_window());
	if (!mainWindow)
		return false;
	auto *container = new QDockWidget(mainWindow);
	container->setObjectName(QString::fromLatin1(dockId));
	container->setWindowTitle(title);
	container->setWidget(dock);
	mainWindow->addDockWidget(Qt::RightDockWidgetArea, container);
	container->setFloating(true);
	container->hide();
	addDock(container);
	return true;
}

} // namespace

bool addDockToMainWindow(QWidget *dock)
{
	const QString title = moduleText("Dock.Title");
	if (auto addDockById = frontendFunction<AddDockById>("obs_frontend_add_dock_by_id")) {
		moduleLog(LOG_INFO, "dock added by id (obs_frontend_add_dock_by_id)");
		return addDockById(dockId, title.toUtf8().constData(), dock);
	}
	if (auto addDock = frontendFunction<AddDock>("obs_frontend_add_dock")) {
		moduleLog(LOG_INFO, "dock added in its own QDockWidget (obs_frontend_add_dock)");
		return addInOwnContainer(addDock, dock, title);
	}
	moduleLog(LOG_WARNING, "the host offers no way to add a dock");
	return false;
}

void attachDockOnce(QWidget *dock)
{
	if (dockShown() || !dock)
		return;
	auto *mainWindow = static_cast<QMainWindow *>(obs_frontend_get_main_window());
	auto *container = qobject_cast<QDockWidget *>(dock->parentWidget());
	if (!mainWindow || !container)
		return;
	container->setFloating(false);
	mainWindow->addDockWidget(Qt::RightDockWidgetArea, container);
	container->setVisible(true);
	setDockShown();
}
