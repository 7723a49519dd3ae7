#pragma once

#include "dock/dock_host.h"

#include <memory>

// The dock's view of the running host (libobs and the front-end API).
std::unique_ptr<DockHost> makeObsDockHost();
