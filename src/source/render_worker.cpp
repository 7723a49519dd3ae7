#include "source/render_worker.h"

#include "director/show_state.h"
#include "source/frame_composer.h"
#include "source/frame_slot.h"
#include "source/premultiply.h"

#include <algorithm>
#include <utility>

RenderWorker::RenderWorker(Compose compose_) : compose(std::move(compose_)), thread([this] { run(); }) {}

RenderWorker::~RenderWorker()
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		stop = true;
	}
	wake.notify_all();
	thread.join();
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

		slot->publish(compose(slot->isBreak() ? KindBreak : KindStandby));

		{
			std::lock_guard<std::mutex> lock(mutex);
			busy = nullptr;
		}
		idle.notify_all();
	}
}

QImage composeUploadFrame(const ShowSnapshot &snapshot, int kind)
{
	QImage frame = composeFrame(snapshot, kind, 1.0);
	premultiplyLinear(frame);
	return frame;
}

QImage renderShowFrame(int kind)
{
	return composeUploadFrame(showState().snapshot(), kind);
}

RenderWorker &renderWorker()
{
	static RenderWorker worker(renderShowFrame);
	return worker;
}
