#include "module/procedures.h"

#include "director/show_state.h"

#include "module/module_host.h"

#include <obs.h>

namespace {

void getState(void *, calldata_t *data)
{
	const StateForProcedure state = showState().stateForProcedure();
	calldata_set_string(data, "mode", state.mode);
	calldata_set_bool(data, "counting", state.counting);
	calldata_set_string(data, "standby_scene", state.standbyScene.toUtf8().constData());
}

} // namespace

void addStateProcedure()
{
	proc_handler_add(globalProcHandler(),
			 "void curtainup_get_state(out string mode, out bool counting, out string standby_scene)",
			 getState, nullptr);
}
