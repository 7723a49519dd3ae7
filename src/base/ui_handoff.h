#pragma once

#include <functional>
#include <mutex>

// Runs work that arrives on another thread on the host's UI thread and waits for it, until
// it is closed. Closing happens on the UI thread when the host exits: from then on no work
// is taken, and work already handed over is let through (without running) before close()
// returns, so that no caller stays blocked on a UI thread that stopped serving tasks.
class UiHandOff {
public:
	// Runs task(param) on the UI thread and returns when it has run.
	using Post = std::function<void(void (*task)(void *), void *param)>;

	// Without a post function the host's UI task queue is used (obs_queue_task, waiting).
	explicit UiHandOff(Post post = Post());

	// False when closed: the work did not run.
	bool run(const std::function<void()> &work);
	// On the UI thread.
	void close();

private:
	struct Job;
	static void runJob(void *param);
	bool isClosed();

	Post post;
	std::mutex mutex;
	bool closed = false;
	int inFlight = 0;
};
