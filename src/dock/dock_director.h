#pragma once

#include "director/director.h"

#include <cstdint>
#include <memory>

// The director's operations as the dock uses them. The module's link forwards to the
// director while there is one and does nothing otherwise; tests use a fake.
class DockDirector {
public:
	virtual ~DockDirector() = default;

	virtual void startStandby() = 0;
	virtual void skipToMain() = 0;
	virtual void toggleBreak() = 0;
	virtual void startEnding() = 0;
	virtual void cancel() = 0;
	virtual void toggleHold() = 0;
	// Arms the unattended show for the preset's until-time, or disarms it.
	virtual void toggleArm() = 0;
	// A minute more (or less) on the running countdown.
	virtual void addTime(int64_t ms) = 0;
	// All zero and empty when there is no director.
	virtual FlowStatus flowStatus() const = 0;
};

// Follows the module's director (`directorInstance`), which may come and go.
std::unique_ptr<DockDirector> makeModuleDirectorLink();
