#include "module_fixture.h"

#include "ui_task_queue.h"

#include "fake_host.h"
#include "base/module_alive.h"
#include "base/module_host.h"
#include "remote/procedures.h"
#include "settings/config.h"
#include "show/show_state.h"

#include <QCoreApplication>

ModuleTest::ModuleTest()
{
	loadConfig();
	showState().resetCountdown();
	showState().setHeld(false);
	handler = proc_handler_create();
	setGlobalProcHandlerForTesting(handler);
	addStateProcedure();
	addFlowProcedures();
	auto fake = std::make_unique<FakeHost>();
	host = fake.get();
	director = createDirector(std::move(fake));
	setModuleAlive(true);
}

ModuleTest::~ModuleTest()
{
	setModuleAlive(false);
	deliverQueued();
	destroyDirector();
	setGlobalProcHandlerForTesting(nullptr);
	proc_handler_destroy(handler);
	showState().resetCountdown();
	showState().setHeld(false);
	releaseConfig();
}

void ModuleTest::deliverQueued()
{
	runQueuedUiTasks();
	QCoreApplication::sendPostedEvents();
}

void ModuleTest::callHold(bool on, const char *from, const char *reason)
{
	calldata_t data;
	calldata_init(&data);
	calldata_set_bool(&data, "on", on);
	if (from)
		calldata_set_string(&data, "from", from);
	if (reason)
		calldata_set_string(&data, "reason", reason);
	proc_handler_call(handler, "curtainup_hold", &data);
	calldata_free(&data);
}

ModuleTest::Flow ModuleTest::callGetFlow()
{
	calldata_t data;
	calldata_init(&data);
	Flow flow;
	if (proc_handler_call(handler, "curtainup_get_flow", &data)) {
		const char *step = calldata_string(&data, "step");
		const char *reason = calldata_string(&data, "held_reason");
		flow.step = step ? step : "(missing)";
		flow.held = calldata_bool(&data, "held");
		flow.reason = reason ? reason : "(missing)";
	}
	calldata_free(&data);
	return flow;
}
