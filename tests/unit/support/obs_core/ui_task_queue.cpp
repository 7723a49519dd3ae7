#include "ui_task_queue.h"

#include <deque>
#include <mutex>
#include <utility>

namespace {

// A plain mutex, so ThreadSanitizer sees the hand-off (it cannot see through Qt's own
// event queue in an uninstrumented Qt).
std::mutex uiTaskMutex;
std::deque<std::pair<obs_task_t, void *>> uiTasks;

} // namespace

void queueUiTask(obs_task_t task, void *param)
{
	std::lock_guard<std::mutex> lock(uiTaskMutex);
	uiTasks.emplace_back(task, param);
}

void runQueuedUiTasks()
{
	for (;;) {
		std::pair<obs_task_t, void *> next;
		{
			std::lock_guard<std::mutex> lock(uiTaskMutex);
			if (uiTasks.empty())
				return;
			next = uiTasks.front();
			uiTasks.pop_front();
		}
		next.first(next.second);
	}
}
