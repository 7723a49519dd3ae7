#pragma once

#include "director/director.h"
#include "fake_clock.h"
#include "log_capture.h"
#include "temp_config.h"

#include <gtest/gtest.h>
#include <obs.h>

#include <string>

class FakeHost;

// The module's link to the host with the real libobs handlers: the procedures on a
// handler of the test's own, the module's director on a fake host, the module alive.
class ModuleTest : public testing::Test {
protected:
	ModuleTest();
	~ModuleTest() override;

	// Runs what other threads handed to the UI thread (hold tasks, queued operations).
	static void deliverQueued();

	// One call of the hold procedure; null texts are left out of the call data.
	void callHold(bool on, const char *from, const char *reason);
	struct Flow {
		std::string step;
		bool held = false;
		std::string reason;
	};
	Flow callGetFlow();

	FakeClock clock;
	TempConfig config;
	LogCapture log;
	proc_handler_t *handler = nullptr;
	FakeHost *host = nullptr;
	Director *director = nullptr;
};
