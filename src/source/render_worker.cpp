#include "source/render_worker.h"

#include "base/module_host.h"
#include "show/show_state.h"
#include "source/frame_slot.h"

#include <algorithm>
#include <exception>
#include <utility>

#if defined(__linux__)
#include <pthread.h>
#endif

namespace {

// A thread inherits the name of the one that started it: the host's graphics thread, at
// the first frame of the first countdown source. With a name of its own, composing is not
// counted as the graphics thread's work by tools that read CPU time per thread name.
void nameThisThread()
{
#if defined(__linux__)
	pthread_setname_np(pthread_self(), "curtainup-frame");
#endif
}

} // namespace

RenderWorker::RenderWorker(Compose compose_) : compose(std::move(compose_)), thread([this] { run(); }) {}

RenderWorker::~RenderWorker()
{
	requestStop();
	thread.join();
}

void RenderWorker::requestStop()
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		stop = true;
	}
	wake.notify_all();
}

void RenderWorker::enqueue(FrameSlot *slot)
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		queue.push_back(slot);
	}
	wake.notify_one();
}

void RenderWorker::forget(FrameSlot *slot)
{
	std::unique_lock<std::mutex> lock(mutex);
	queue.erase(std::remove(queue.begin(), queue.end(), slot), queue.end());
	idle.wait(lock, [&] { return busy != slot; });
}

void RenderWorker::run()
{
	nameThisThread();
	for (;;) {
		FrameSlot *slot = nullptr;
		{
			std::unique_lock<std::mutex> lock(mutex);
			wake.wait(lock, [this] { return stop || !queue.empty(); });
			if (stop)
				return;
			slot = queue.front();
			queue.pop_front();
			busy = slot;
		}

		render(*slot);

		{
			std::lock_guard<std::mutex> lock(mutex);
			busy = nullptr;
		}
		idle.notify_all();
	}
}

void RenderWorker::render(FrameSlot &slot)
{
	// Nothing may leave this thread: an exception here would end the host.
	try {
		slot.publish(compose(slot.isBreak() ? KindBreak : KindStandby));
		failing = false;
	} catch (const std::exception &error) {
		renderFailed(slot, error.what());
	} catch (...) {
		renderFailed(slot, "unknown exception");
	}
}

void RenderWorker::renderFailed(FrameSlot &slot, const char *what)
{
	if (!failing)
		moduleLog(LOG_WARNING, "could not compose a countdown frame (%s); the last frame stays", what);
	failing = true;
	slot.failRender();
}

UploadFrame renderShowFrame(int kind)
{
	// Sources of one kind show the same picture, so they share its layers; each source's
	// texture uploads a layer only when its version is new to it.
	thread_local UploadFrameMaker standby(KindStandby);
	thread_local UploadFrameMaker breakPicture(KindBreak);
	return (kind == KindBreak ? breakPicture : standby).make(showState().snapshot());
}

RenderWorker &renderWorker()
{
	static RenderWorker worker(renderShowFrame);
	return worker;
}
