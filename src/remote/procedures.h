#pragma once

// Procedures for other plug-ins and scripts on the host's global procedure handler.

// "curtainup_get_state": the phase, whether a countdown runs, the standby scene.
void addStateProcedure();
// "curtainup_hold" (handed to the UI thread) and "curtainup_get_flow".
void addFlowProcedures();
