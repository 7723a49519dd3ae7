#include "proc_requests.h"

#include "call_record.h"

#include <obs.hpp>

#include <string>

namespace {

/* Copies one JSON member into the call data; false for a type procedures cannot take. */
bool setInput(calldata_t *data, obs_data_item_t *item)
{
	const char *name = obs_data_item_get_name(item);
	switch (obs_data_item_gettype(item)) {
	case OBS_DATA_STRING:
		calldata_set_string(data, name, obs_data_item_get_string(item));
		return true;
	case OBS_DATA_BOOLEAN:
		calldata_set_bool(data, name, obs_data_item_get_bool(item));
		return true;
	case OBS_DATA_NUMBER:
		if (obs_data_item_numtype(item) != OBS_DATA_NUM_INT)
			return false;
		calldata_set_int(data, name, obs_data_item_get_int(item));
		return true;
	default:
		return false;
	}
}

/* Fills `data` from the "args" object; on failure returns the offending member's name. */
bool setInputs(calldata_t *data, obs_data_t *args, std::string &badName)
{
	for (obs_data_item_t *item = obs_data_first(args); item; obs_data_item_next(&item)) {
		if (!setInput(data, item)) {
			badName = obs_data_item_get_name(item);
			obs_data_item_release(&item);
			return false;
		}
	}
	return true;
}

bool isOutputType(const std::string &type)
{
	return type == "string" || type == "bool" || type == "int";
}

bool outputTypesKnown(obs_data_array_t *wanted)
{
	for (size_t i = 0; i < obs_data_array_count(wanted); i++) {
		OBSDataAutoRelease entry = obs_data_array_item(wanted, i);
		if (!isOutputType(obs_data_get_string(entry, "type")))
			return false;
	}
	return true;
}

/* Copies one requested output into `out` if the procedure set it. */
void readOutput(const calldata_t *data, obs_data_t *wanted, obs_data_t *out)
{
	const char *name = obs_data_get_string(wanted, "name");
	std::string type = obs_data_get_string(wanted, "type");
	if (type == "string") {
		const char *value = nullptr;
		if (calldata_get_string(data, name, &value))
			obs_data_set_string(out, name, value ? value : "");
	} else if (type == "bool") {
		bool value = false;
		if (calldata_get_bool(data, name, &value))
			obs_data_set_bool(out, name, value);
	} else {
		long long value = 0;
		if (calldata_get_int(data, name, &value))
			obs_data_set_int(out, name, value);
	}
}

void readOutputs(const calldata_t *data, obs_data_array_t *wanted, obs_data_t *out)
{
	for (size_t i = 0; i < obs_data_array_count(wanted); i++) {
		OBSDataAutoRelease entry = obs_data_array_item(wanted, i);
		readOutput(data, entry, out);
	}
}

/* The procedures of the source that "source" names (kept alive in `source`), else the
 * global ones; null, with an error in the response, when no source has that name. */
proc_handler_t *requestedHandler(obs_data_t *request, obs_data_t *response, OBSSourceAutoRelease &source)
{
	std::string name = obs_data_get_string(request, "source");
	if (name.empty())
		return obs_get_proc_handler();
	source = obs_get_source_by_name(name.c_str());
	if (!source) {
		std::string error = "no source named '" + name + "'";
		obs_data_set_string(response, "error", error.c_str());
		return nullptr;
	}
	return obs_source_get_proc_handler(source);
}

} // namespace

void callProcRequest(obs_data_t *request, obs_data_t *response, void *)
{
	std::string name = obs_data_get_string(request, "name");
	OBSDataAutoRelease args = obs_data_get_obj(request, "args");
	OBSDataArrayAutoRelease wanted = obs_data_get_array(request, "out");
	if (name.empty()) {
		obs_data_set_string(response, "error", "call_proc needs a procedure name");
		return;
	}
	if (wanted && !outputTypesKnown(wanted)) {
		obs_data_set_string(response, "error", "an output type is not string, bool or int");
		return;
	}
	OBSSourceAutoRelease source;
	proc_handler_t *handler = requestedHandler(request, response, source);
	if (!handler)
		return;

	calldata_t data = {};
	std::string badName;
	if (args && !setInputs(&data, args, badName)) {
		std::string error = "argument '" + badName + "' is not a string, bool or integer";
		obs_data_set_string(response, "error", error.c_str());
		calldata_free(&data);
		return;
	}

	bool called = proc_handler_call(handler, name.c_str(), &data);
	OBSDataAutoRelease out = obs_data_create();
	if (wanted)
		readOutputs(&data, wanted, out);
	calldata_free(&data);

	obs_data_set_bool(response, "called", called);
	obs_data_set_obj(response, "out", out);
}

void recordsRequest(obs_data_t *, obs_data_t *response, void *)
{
	OBSDataArrayAutoRelease calls = recordedCalls();
	obs_data_set_array(response, "records", calls);
}
