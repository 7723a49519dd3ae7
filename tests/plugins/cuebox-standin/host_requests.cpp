#include "host_requests.h"

#include <obs-frontend-api.h>
#include <obs.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

struct BindTask {
	std::string name;
	std::string key;
	bool found = false;
};

obs_hotkey_id frontendHotkey(const std::string &name)
{
	struct Search {
		const std::string &name;
		obs_hotkey_id id;
	} search{name, OBS_INVALID_HOTKEY_ID};
	obs_enum_hotkeys(
		[](void *data, obs_hotkey_id id, obs_hotkey_t *key) {
			auto *found = static_cast<Search *>(data);
			if (obs_hotkey_get_registerer_type(key) != OBS_HOTKEY_REGISTERER_FRONTEND ||
			    found->name != obs_hotkey_get_name(key))
				return true;
			found->id = id;
			return false;
		},
		&search);
	return search.id;
}

void bindOnUiThread(void *param)
{
	auto *task = static_cast<BindTask *>(param);
	const obs_hotkey_id id = frontendHotkey(task->name);
	task->found = id != OBS_INVALID_HOTKEY_ID;
	if (!task->found)
		return;
	OBSDataArrayAutoRelease binding = obs_data_array_create();
	OBSDataAutoRelease combination = obs_data_create();
	obs_data_set_string(combination, "key", task->key.c_str());
	obs_data_array_push_back(binding, combination);
	obs_hotkey_load(id, binding);
}

void saveOnUiThread(void *)
{
	obs_frontend_save();
}

void blockOnUiThread(void *param)
{
	const std::unique_ptr<long long> ms(static_cast<long long *>(param));
	std::this_thread::sleep_for(std::chrono::milliseconds(*ms));
}

} // namespace

void bindHotkeyRequest(obs_data_t *request, obs_data_t *response, void *)
{
	BindTask task;
	task.name = obs_data_get_string(request, "name");
	task.key = obs_data_get_string(request, "key");
	obs_queue_task(OBS_TASK_UI, bindOnUiThread, &task, true);
	obs_data_set_bool(response, "found", task.found);
}

void saveSettingsRequest(obs_data_t *, obs_data_t *, void *)
{
	obs_queue_task(OBS_TASK_UI, saveOnUiThread, nullptr, true);
}

void blockUiRequest(obs_data_t *request, obs_data_t *, void *)
{
	obs_queue_task(OBS_TASK_UI, blockOnUiThread, new long long(obs_data_get_int(request, "ms")), false);
}
