#pragma once

#include "source/upload_frame.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class FrameSlot;

// The one thread that composes the frames of all countdown sources, one at a time, in
// the order they were queued. A render that throws is logged (once until a render works
// again) and gives no frame: the source keeps its last one.
class RenderWorker {
public:
	// Makes the frame of a kind, ready for upload; may throw.
	using Compose = std::function<UploadFrame(int kind)>;

	// Starts the thread; throws std::system_error when it cannot.
	explicit RenderWorker(Compose compose);
	~RenderWorker();
	RenderWorker(const RenderWorker &) = delete;
	RenderWorker &operator=(const RenderWorker &) = delete;

	// Queues a slot that claimed a render (FrameSlot::claimRender).
	void enqueue(FrameSlot *slot);
	// Drops a slot's queued render and waits for a running one to end; afterwards the
	// worker never touches the slot again, so it may be freed.
	void forget(FrameSlot *slot);
	// Asks the thread to end once the render in progress is done; queued work is dropped.
	// The destructor asks and then waits for the thread.
	void requestStop();

private:
	void run();
	void render(FrameSlot &slot);
	void renderFailed(FrameSlot &slot, const char *what);

	Compose compose;
	std::mutex mutex;
	std::condition_variable wake; // work was queued, or stop was set
	std::condition_variable idle; // a render finished
	std::deque<FrameSlot *> queue;
	FrameSlot *busy = nullptr;
	bool stop = false;
	bool failing = false; // render thread only: the last render threw
	std::thread thread;   // last, so everything it uses exists before it starts
};

// The process's worker, composing from the shared show state; started on first use.
RenderWorker &renderWorker();
// What the process's worker makes for a kind: the frame of the current show state, from
// that kind's layers of the frame before. On the worker's thread only.
UploadFrame renderShowFrame(int kind);
