#include "director/stream_stop_code.h"

#include "base/module_host.h"

#include <obs-frontend-api.h>

StreamStopCode::~StreamStopCode()
{
	release();
}

void StreamStopCode::follow()
{
	stopAsked = false;
	OBSOutputAutoRelease output = obs_frontend_get_streaming_output();
	OBSOutputAutoRelease current = obs_weak_output_get_output(followed);
	if (output && output == current)
		return;
	release();
	if (!output)
		return;
	signal_handler_t *signals = obs_output_get_signal_handler(output);
	// "stopping" comes on the thread that asks for the stop, before the output ends.
	signal_handler_connect(signals, "stopping", onStopping, this);
	signal_handler_connect(signals, "stop", onStop, this);
	followed = obs_output_get_weak_output(output);
}

void StreamStopCode::release()
{
	// An output already freed took its signal handler with it.
	OBSOutputAutoRelease output = obs_weak_output_get_output(followed);
	if (output) {
		signal_handler_t *signals = obs_output_get_signal_handler(output);
		signal_handler_disconnect(signals, "stopping", onStopping, this);
		signal_handler_disconnect(signals, "stop", onStop, this);
	}
	followed = nullptr;
}

void StreamStopCode::onStopping(void *self, calldata_t *)
{
	static_cast<StreamStopCode *>(self)->stopAsked = true;
}

void StreamStopCode::onStop(void *, calldata_t *data)
{
	moduleLog(LOG_INFO, "the stream output stopped (code %lld)", static_cast<long long>(calldata_int(data, "code")));
}
