#pragma once

// Procedures on the host's global procedure handler, for other plug-ins and scripts.
void addStateProcedure();
