#include "call_record.h"

#include <obs-module.h>
#include <obs.hpp>
#include <util/platform.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex recordMutex;
std::vector<std::string> recordLines;

std::string recordFilePath()
{
	const char *fromEnv = getenv("CUEBOX_STANDIN_RECORD");
	if (fromEnv && *fromEnv)
		return fromEnv;

	char *configDir = obs_module_config_path("");
	if (!configDir)
		return {};
	os_mkdirs(configDir);
	bfree(configDir);

	char *path = obs_module_config_path("records.jsonl");
	std::string result = path ? path : "";
	bfree(path);
	return result;
}

/* obs_data_get_json may indent; a JSON text has raw newlines only between tokens, so
 * turning them into spaces keeps it valid on one line. */
std::string oneLine(const char *json)
{
	std::string line = json ? json : "{}";
	for (char &c : line)
		if (c == '\n' || c == '\r')
			c = ' ';
	return line;
}

void appendToFile(const std::string &line)
{
	static const std::string path = recordFilePath();
	if (path.empty())
		return;
	FILE *file = os_fopen(path.c_str(), "ab");
	if (!file) {
		blog(LOG_WARNING, "[cuebox-standin] cannot append to record file '%s'", path.c_str());
		return;
	}
	fprintf(file, "%s\n", line.c_str());
	fclose(file);
}

} // namespace

void recordCall(const char *proc, obs_data_t *args)
{
	std::lock_guard<std::mutex> lock(recordMutex);

	OBSDataAutoRelease record = obs_data_create();
	obs_data_set_int(record, "seq", (long long)recordLines.size() + 1);
	obs_data_set_string(record, "proc", proc);
	obs_data_set_obj(record, "args", args);
	obs_data_set_bool(record, "ui_thread", obs_in_task_thread(OBS_TASK_UI));

	std::string line = oneLine(obs_data_get_json(record));
	recordLines.push_back(line);
	appendToFile(line);
	blog(LOG_INFO, "[cuebox-standin] %s", line.c_str());
}

obs_data_array_t *recordedCalls()
{
	std::lock_guard<std::mutex> lock(recordMutex);

	obs_data_array_t *calls = obs_data_array_create();
	for (const std::string &line : recordLines) {
		OBSDataAutoRelease record = obs_data_create_from_json(line.c_str());
		obs_data_array_push_back(calls, record);
	}
	return calls;
}
