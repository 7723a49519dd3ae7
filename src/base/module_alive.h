#pragma once

// True from the moment the director exists during load until unload or the host's exit
// begins. Procedure handlers read it on any thread.
bool moduleAlive();
void setModuleAlive(bool alive);
