#pragma once

#include "director/director_host.h"

// The director's host in a running OBS: libobs sources and the front-end's scenes,
// transitions and stream.
std::unique_ptr<DirectorHost> makeObsDirectorHost();
