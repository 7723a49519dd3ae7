#pragma once

#include <QImage>
#include <QRect>

#include <atomic>
#include <cstdint>
#include <mutex>

// The frame hand-off of one countdown source between the graphics thread, which takes
// finished frames and asks for new ones, and the render thread, which publishes them.
class FrameSlot {
public:
	explicit FrameSlot(bool isBreak = false);

	// The source's settings changed: remember its kind and draw again.
	void setKind(bool isBreak);
	bool isBreak() const;

	// Graphics thread: the newest finished frame (null when none arrived since the last
	// call), the box of its pixels that are not all zero (empty when none is), and whether
	// the settings changed since the last render was scheduled.
	struct Taken {
		QImage frame;
		QRect ink;
		bool dirty = false;
	};
	Taken take();

	// Graphics thread: true when a render should be queued now, because the settings
	// changed, the show's revision moved or there is no picture yet, and none is queued
	// or running. The slot then counts as queued until the frame is published.
	bool claimRender(bool dirty, uint64_t revision, bool hasPicture);
	// Graphics thread: a claimed render could not be queued; try again next frame.
	void abandonRender();

	// Render thread: hands over a finished 32-bit frame, with the box of its ink found
	// here, and lets the slot be queued again.
	void publish(QImage frame);
	// Render thread: the render gave no frame. The slot keeps what it has and is queued
	// again when the settings or the show's revision change, not at every frame.
	void failRender();

private:
	mutable std::mutex mutex;
	bool isBreak_;
	bool dirty = true;
	QImage pendingFrame; // null while none is waiting
	QRect pendingInk;
	std::atomic<bool> queued{false};
	std::atomic<bool> lastRenderFailed{false};
	int64_t lastRevision = -1; // graphics thread only
};

// The smallest box holding every pixel of a 32-bit image that is not all zero: outside
// it a premultiplied frame adds nothing to what lies beneath. Empty when there is none.
QRect inkBounds(const QImage &frame);
