#pragma once

#include "dock/dock_director.h"
#include "show/show_state.h"

#include <functional>
#include <string>
#include <vector>

// Records the operations the dock asks for and reports a flow status the test sets.
class FakeDockDirector final : public DockDirector {
public:
	std::vector<std::string> calls;
	FlowStatus status;
	// startStandby starts the shared countdown, as the real director does.
	bool startsCountdown = false;
	// Runs at each call, before it is recorded (to look at the preset at that moment).
	std::function<void(const std::string &)> onCall;

	void startStandby() override
	{
		record("startStandby");
		if (startsCountdown)
			showState().startCountdown();
	}
	void skipToMain() override { record("skipToMain"); }
	void toggleBreak() override { record("toggleBreak"); }
	void startEnding() override { record("startEnding"); }
	void cancel() override { record("cancel"); }
	void toggleHold() override { record("toggleHold"); }
	void toggleArm() override { record("toggleArm"); }
	void addTime(int64_t ms) override { record("addTime " + std::to_string(ms)); }
	FlowStatus flowStatus() const override { return status; }

private:
	void record(const std::string &name)
	{
		if (onCall)
			onCall(name);
		calls.push_back(name);
	}
};
