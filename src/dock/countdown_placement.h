#pragma once

#include <QSize>
#include <QString>

class DockHost;

// The first countdown source of the kind in the host's order; empty when there is none.
QString findCountdownSource(DockHost &host, int kind);

// Puts a countdown of the kind (1 break, else standby) into the current preset's scene for
// that kind, or into the scene being edited when that scene is unset or gone. An existing
// countdown source of the kind is reused, and a scene that already shows it only gets its
// item selected. Fails quietly; only an added item is logged.
void addCountdownToScene(DockHost &host, int kind);

// The scale at which a picture of that size fits inside the canvas: 1 when it fits as it
// is, never more.
double scaleToFit(const QSize &picture, const QSize &canvas);
