#include "source/frame_slot.h"

#include <algorithm>
#include <utility>

namespace {

bool rowHasInk(const uint32_t *row, int from, int to)
{
	return std::any_of(row + from, row + to, [](uint32_t pixel) { return pixel != 0; });
}

} // namespace

QRect inkBounds(const QImage &frame)
{
	const int width = frame.width();
	const int height = frame.height();
	const auto row = [&](int y) { return reinterpret_cast<const uint32_t *>(frame.constScanLine(y)); };
	int top = 0;
	while (top < height && !rowHasInk(row(top), 0, width))
		++top;
	if (top == height)
		return QRect();
	int bottom = height - 1;
	while (!rowHasInk(row(bottom), 0, width))
		--bottom;
	// Each row only needs looking at outside the columns already known to hold ink.
	int left = width;
	int right = -1;
	for (int y = top; y <= bottom; ++y) {
		const uint32_t *pixels = row(y);
		for (int x = 0; x < left; ++x) {
			if (pixels[x] != 0) {
				left = x;
				break;
			}
		}
		for (int x = width - 1; x > right; --x) {
			if (pixels[x] != 0) {
				right = x;
				break;
			}
		}
	}
	return QRect(QPoint(left, top), QPoint(right, bottom));
}

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
	taken.frame = std::exchange(pendingFrame, QImage());
	taken.ink = pendingInk;
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

void FrameSlot::publish(QImage frame)
{
	const QRect ink = inkBounds(frame);
	{
		std::lock_guard<std::mutex> lock(mutex);
		pendingFrame = std::move(frame);
		pendingInk = ink;
	}
	lastRenderFailed.store(false);
	queued.exchange(false);
}

void FrameSlot::failRender()
{
	lastRenderFailed.store(true);
	queued.exchange(false);
}
