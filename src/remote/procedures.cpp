#include "remote/procedures.h"

#include "base/module_alive.h"
#include "base/module_host.h"
#include "director/director.h"
#include "show/show_state.h"

#include <obs.h>

#include <cstdint>
#include <string>

namespace {

// A hold request on its way from the caller's thread to the UI thread.
struct HoldRequest {
	bool on;
	std::string from;
	std::string reason;
};

std::string stringArgument(calldata_t *data, const char *name)
{
	const char *text = calldata_string(data, name);
	return text ? std::string(text) : std::string();
}

void getState(void *, calldata_t *data)
{
	const StateForProcedure state = showState().stateForProcedure();
	calldata_set_string(data, "mode", state.mode);
	calldata_set_bool(data, "counting", state.counting);
	calldata_set_string(data, "standby_scene", state.standbyScene.toUtf8().constData());
}

void runHoldRequest(void *param)
{
	const std::unique_ptr<HoldRequest> request(static_cast<HoldRequest *>(param));
	if (!moduleAlive())
		return;
	if (Director *director = directorInstance())
		director->hold(request->on, QString::fromStdString(request->from),
			       QString::fromStdString(request->reason));
}

void holdFlow(void *, calldata_t *data)
{
	if (!moduleAlive())
		return;
	// Read as a byte: a caller may write the boolean as any non-zero value, which is no
	// valid bool.
	uint8_t on = 0;
	calldata_get_data(data, "on", &on, sizeof(on));
	auto *request = new HoldRequest{on != 0, stringArgument(data, "from"), stringArgument(data, "reason")};
	obs_queue_task(OBS_TASK_UI, runHoldRequest, request, false);
}

void getFlow(void *, calldata_t *data)
{
	const FlowStatus flow = readFlow();
	calldata_set_string(data, "step", stepName(flow.step));
	calldata_set_bool(data, "held", flow.held);
	calldata_set_string(data, "held_reason", flow.holdReason.toUtf8().constData());
}

} // namespace

void addStateProcedure()
{
	proc_handler_add(globalProcHandler(),
			 "void curtainup_get_state(out string mode, out bool counting, out string standby_scene)",
			 getState, nullptr);
}

void addFlowProcedures()
{
	proc_handler_t *handler = globalProcHandler();
	proc_handler_add(handler, "void curtainup_hold(in bool on, in string from, in string reason)", holdFlow,
			 nullptr);
	proc_handler_add(handler, "void curtainup_get_flow(out string step, out bool held, out string held_reason)",
			 getFlow, nullptr);
}
