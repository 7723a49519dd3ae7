#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Runs work that arrives on another thread on the host's UI thread, and waits a bounded
// time for it. Work the UI thread has not begun when the wait runs out is dropped: it
// never runs later, so a caller that gave up has not left anything behind. Closing (on the
// UI thread, when the host exits) drops the work still waiting and wakes its callers; it
// delivers none of the host's or other plug-ins' queued events.
class UiHandOff {
public:
	// Queues task(param) to run once on the UI thread; returns at once.
	using Post = std::function<void(void (*task)(void *), void *param)>;
	enum class Outcome { Ran, TimedOut, Closed };

	// Without a post function the host's UI task queue is used (obs_queue_task).
	explicit UiHandOff(Post post = Post(), std::chrono::milliseconds bound = std::chrono::seconds(2));

	// Called on the UI thread itself, the work runs at once.
	Outcome run(const std::function<void()> &work);
	// On the UI thread.
	void close();

private:
	struct Job;
	static void runJob(void *param);

	Post post;
	std::chrono::milliseconds bound;
	std::mutex mutex;
	bool closed = false;
	std::vector<std::shared_ptr<Job>> waiting;
};
