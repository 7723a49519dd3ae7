#pragma once

#include <QString>

// Calls into the sibling plug-in Cuebox through its procedures. It may not be loaded: a
// call to a missing procedure does nothing, and no answer is relied on.

// Once per process: logs whether the sibling answered its state procedure.
void probeCuebox();
// "standby", "opening", "opening_done", "break", "ending" or "idle".
void reportPhase(const char *phase);
// Tells the sibling that the operator held (on) or resumed the flow.
void reportHold(bool on, const QString &reason);
