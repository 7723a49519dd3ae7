#pragma once

class QWidget;

// Adds the dock widget to the host's main window under the id "curtainup_main" with the
// locale title of "Dock.Title". OBS 30 and newer wrap it themselves; older ones get it
// inside a dock container made here. The call is looked up when it is needed, so one
// binary serves every host version of its Qt. The host owns the widget afterwards;
// returns false when the host took nothing.
bool addDockToMainWindow(QWidget *dock);

// The first time only: docks the container on the right of the main window, shows it and
// remembers that in the configuration. Later starts leave the placement to the host.
void attachDockOnce(QWidget *dock);
