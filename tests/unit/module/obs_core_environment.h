#pragma once

// Runs the UI tasks that libobs was asked to queue (obs_queue_task with OBS_TASK_UI) on
// the calling thread, the test's UI thread, in the order they came.
void runQueuedUiTasks();
