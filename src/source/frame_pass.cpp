#include "source/frame_pass.h"

#include "source/frame_slot.h"

#include <QSize>

namespace {

constexpr int areaBlock = 32;

int blockStart(int x)
{
	return x - x % areaBlock;
}

void scheduleRender(FrameSlot &slot, bool dirty, uint64_t showRevision, bool hasPicture, RenderQueue &queue)
{
	if (slot.claimRender(dirty, showRevision, hasPicture) && !queue.enqueue(slot))
		slot.abandonRender();
}

} // namespace

bool prepareFrame(FrameSlot &slot, PictureTexture &texture, uint64_t showRevision, RenderQueue &queue)
{
	const FrameSlot::Taken taken = slot.take();
	if (taken.frame)
		texture.upload(*taken.frame);
	scheduleRender(slot, taken.dirty, showRevision, texture.exists(), queue);
	return texture.exists();
}

QRect textureArea(const QRect &current, const QRect &ink, const QSize &frame)
{
	const QRect whole(QPoint(0, 0), frame);
	const QRect needed = ink.adjusted(-1, -1, 1, 1) & whole;
	const bool currentFits = !current.isEmpty() && whole.contains(current);
	if (currentFits && (needed.isEmpty() || current.contains(needed)))
		return current;
	QRect area = needed.isEmpty() ? QRect(0, 0, 1, 1) : needed;
	if (currentFits)
		area |= current;
	const QPoint topLeft(blockStart(area.left()), blockStart(area.top()));
	const QPoint bottomRight(blockStart(area.right()) + areaBlock - 1, blockStart(area.bottom()) + areaBlock - 1);
	return QRect(topLeft, bottomRight) & whole;
}
