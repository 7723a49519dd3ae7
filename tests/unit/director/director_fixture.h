#pragma once

#include "director/director.h"
#include "show/show_state.h"
#include "fake_clock.h"
#include "fake_host.h"
#include "log_capture.h"
#include "temp_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// A whole show on the fake host in simulated time. The world: scenes Standby, OP, Main,
// Break, Ending and Other; the OP scene holds a hidden clip and a visible group with the
// OP clip; a music source; an ending video; transitions Fade (current, 300 ms) and Slide.
class DirectorTest : public testing::Test {
protected:
	DirectorTest();
	~DirectorTest() override;

	static Preset showPreset();
	// Replaces the selected preset and applies it to the show state.
	void usePreset(const Preset &preset);
	// Makes a new director on a new fake host (a fresh start of the host).
	void restartDirector();

	// Lets time pass in 50 ms ticks, as the director's timer would.
	void run(int64_t ms);
	// Runs ticks until the predicate holds (at most limitMs); false if it never did.
	template<typename Predicate> bool runUntil(Predicate predicate, int64_t limitMs = 60000)
	{
		for (int64_t passed = 0; passed <= limitMs; passed += tickMs) {
			if (predicate())
				return true;
			tickOnce(tickMs);
		}
		return predicate();
	}
	// One tick later: the host's events of the last one come in, the director's own
	// single-shot timers that are due fire, then it ticks.
	void tickOnce(int64_t ms);
	void deliverHostEvents();
	// Fires the director's single-shot timers due on the fake clock.
	void fireDueTimers();

	int phase() const { return showState().phase(); }
	int step() const { return director->flowStatus().step; }
	bool sawPhase(const std::string &phase) const
	{
		return std::find(host->phases.begin(), host->phases.end(), phase) != host->phases.end();
	}
	// Standby until the OP clip plays on the OP scene and the switch there is over.
	void runToOp();

	static constexpr int64_t tickMs = 50;

	FakeClock clock;
	TempConfig config;
	LogCapture log;
	FakeHost *host = nullptr;
	std::unique_ptr<Director> director;
	// When each running single-shot timer (by its id) was seen started, on the fake clock.
	std::map<int, int64_t> timerStarts;
};
