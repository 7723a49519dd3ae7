#include "log_capture.h"
#include "base/module_host.h"
#include "director/cuebox.h"

#include <gtest/gtest.h>
#include <obs.h>

#include <string>
#include <vector>

namespace {

struct SiblingCalls {
	std::vector<std::string> phases;
	std::vector<std::string> holds;
	int stateCalls = 0;
};

void onGetState(void *param, calldata_t *)
{
	static_cast<SiblingCalls *>(param)->stateCalls++;
}

void onSetPhase(void *param, calldata_t *data)
{
	const std::string tool = calldata_string(data, "tool");
	static_cast<SiblingCalls *>(param)->phases.push_back(tool + ":" + calldata_string(data, "phase"));
}

void onHold(void *param, calldata_t *data)
{
	std::string text = calldata_bool(data, "on") ? "on:" : "off:";
	text += calldata_string(data, "from");
	text += ":";
	text += calldata_string(data, "reason");
	static_cast<SiblingCalls *>(param)->holds.push_back(text);
}

} // namespace

TEST(CueboxCalls, ReportsWithoutSiblingDoNothingAndProbeRunsOncePerProcess)
{
	LogCapture log;
	SiblingCalls calls;
	proc_handler_t *handler = proc_handler_create();
	setGlobalProcHandlerForTesting(handler);
	reportPhase("standby"); // no sibling yet: nothing happens, nothing breaks
	proc_handler_add(handler, "void cuebox_get_state(out string state)", onGetState, &calls);
	proc_handler_add(handler, "void cuebox_set_phase(in string tool, in string phase)", onSetPhase, &calls);
	proc_handler_add(handler, "void cuebox_hold(in bool on, in string from, in string reason)", onHold, &calls);

	probeCuebox();
	probeCuebox();
	EXPECT_EQ(calls.stateCalls, 1);
	EXPECT_EQ(log.count("[curtainup] Cuebox: あり"), 1);
	EXPECT_EQ(log.count("[curtainup] Cuebox:"), 1);

	reportPhase("standby");
	reportPhase("opening_done");
	EXPECT_EQ(calls.phases, (std::vector<std::string>{"curtainup:standby", "curtainup:opening_done"}));

	reportHold(true, QStringLiteral("CurtainUp の待つ"));
	reportHold(false, QString());
	EXPECT_EQ(calls.holds, (std::vector<std::string>{"on:curtainup:CurtainUp の待つ", "off:curtainup:"}));

	setGlobalProcHandlerForTesting(nullptr);
	proc_handler_destroy(handler);
}
