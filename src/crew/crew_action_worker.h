#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The thread the remote's actions wait on (each for OBS's UI thread, within the hand-off's
// bound), one after another, so that neither the server's I/O thread nor the UI thread
// waits for one. It outlives the servers that come and go while the module runs.
class CrewActionWorker {
public:
	static constexpr size_t maxQueued = 64;

	CrewActionWorker();
	// Runs what is queued no further: the jobs still waiting are dropped.
	~CrewActionWorker();

	// False when the queue is full: the job was not taken.
	bool submit(std::function<void()> job);

private:
	void loop();

	std::mutex mutex;
	std::condition_variable wake;
	std::deque<std::function<void()>> jobs;
	bool stopping = false;
	std::thread thread;
};
