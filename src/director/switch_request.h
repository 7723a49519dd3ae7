#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// One scene change waiting in the director's queue. Every callback may be empty.
struct SwitchRequest {
	QString scene;
	QString transition;                 // empty: the current one
	int durationMs = 0;                 // 0 or less: keep the current length
	std::function<void()> onStarted;    // right after the scene was set
	std::function<void()> onFinished;   // when the transition is over
	bool holdGated = false;             // waits in the queue while the flow is held
	std::function<void()> beforeSwitch; // right before the scene is set
	int64_t blockedSince = -1;          // since when a running transition keeps it waiting
};
