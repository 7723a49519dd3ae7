#pragma once

#include <obs.h>

// UI tasks that libobs was asked to queue (obs_queue_task with OBS_TASK_UI), kept until the
// test's UI thread runs them. Any thread may queue.
void queueUiTask(obs_task_t task, void *param);
// Runs the queued tasks on the calling thread, the test's UI thread, in the order they came.
void runQueuedUiTasks();
