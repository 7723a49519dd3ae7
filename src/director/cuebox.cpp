#include "director/cuebox.h"

#include "base/module_host.h"

#include <obs.h>

namespace {

bool probed = false;

bool callSibling(const char *procedure, calldata_t *data)
{
	return proc_handler_call(globalProcHandler(), procedure, data);
}

} // namespace

void probeCuebox()
{
	if (probed)
		return;
	probed = true;
	calldata_t data;
	calldata_init(&data);
	const bool present = callSibling("cuebox_get_state", &data);
	calldata_free(&data);
	moduleLog(LOG_INFO, "Cuebox: %s", present ? "あり" : "なし（単体で動作）");
}

void reportPhase(const char *phase)
{
	calldata_t data;
	calldata_init(&data);
	calldata_set_string(&data, "tool", "curtainup");
	calldata_set_string(&data, "phase", phase);
	callSibling("cuebox_set_phase", &data);
	calldata_free(&data);
}

void reportHold(bool on, const QString &reason)
{
	calldata_t data;
	calldata_init(&data);
	calldata_set_bool(&data, "on", on);
	calldata_set_string(&data, "from", "curtainup");
	calldata_set_string(&data, "reason", reason.toUtf8().constData());
	callSibling("cuebox_hold", &data);
	calldata_free(&data);
}
