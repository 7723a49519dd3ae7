#include "source/frame_slot.h"

#include <utility>

FrameSlot::FrameSlot(bool isBreak) : isBreak_(isBreak) {}

void FrameSlot::setKind(bool isBreak)
{
	std::lock_guard<std::mutex> lock(mutex);
	dirty = true;
	isBreak_ = isBreak;
}

bool FrameSlot::isBreak() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return isBreak_;
}

FrameSlot::Taken FrameSlot::take()
{
	std::lock_guard<std::mutex> lock(mutex);
	Taken taken;
	taken.dirty = dirty;
	taken.frame = std::exchange(pendingFrame, std::nullopt);
	return taken;
}

bool FrameSlot::claimRender(bool wasDirty, uint64_t revision, bool hasPicture)
{
	// Without a picture a source asks again every frame, unless its last render failed:
	// that one waits for the next change.
	const bool settled = hasPicture || lastRenderFailed.load();
	if (!wasDirty && static_cast<int64_t>(revision) == lastRevision && settled)
		return false;
	// A render already in flight keeps lastRevision at its older value, so a change of
	// revision meanwhile is caught by the first call after it ends.
	if (queued.exchange(true))
		return false;
	{
		std::lock_guard<std::mutex> lock(mutex);
		dirty = false;
	}
	lastRevision = static_cast<int64_t>(revision);
	return true;
}

void FrameSlot::abandonRender()
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		dirty = true;
	}
	queued.exchange(false);
}

void FrameSlot::publish(UploadFrame frame)
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		pendingFrame = std::move(frame);
	}
	lastRenderFailed.store(false);
	queued.exchange(false);
}

void FrameSlot::failRender()
{
	lastRenderFailed.store(true);
	queued.exchange(false);
}
