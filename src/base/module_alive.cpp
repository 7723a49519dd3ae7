#include "base/module_alive.h"

#include <atomic>

namespace {
std::atomic<bool> alive{false};
}

bool moduleAlive()
{
	return alive.load();
}

void setModuleAlive(bool value)
{
	alive.store(value);
}
