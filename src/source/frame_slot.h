#pragma once

#include "source/upload_frame.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

// The frame hand-off of one countdown source between the graphics thread, which takes
// finished frames and asks for new ones, and the render thread, which publishes them.
class FrameSlot {
public:
	explicit FrameSlot(bool isBreak = false);

	// The source's settings changed: remember its kind and draw again.
	void setKind(bool isBreak);
	bool isBreak() const;

	// Graphics thread: the newest finished frame (none when none arrived since the last
	// call), and whether the settings changed since the last render was scheduled.
	struct Taken {
		std::optional<UploadFrame> frame;
		bool dirty = false;
	};
	Taken take();

	// Graphics thread: true when a render should be queued now, because the settings
	// changed, the show's revision moved or there is no picture yet, and none is queued
	// or running. The slot then counts as queued until the frame is published.
	bool claimRender(bool dirty, uint64_t revision, bool hasPicture);
	// Graphics thread: a claimed render could not be queued; try again next frame.
	void abandonRender();

	// Render thread: hands over a finished frame and lets the slot be queued again.
	void publish(UploadFrame frame);
	// Render thread: the render gave no frame. The slot keeps what it has and is queued
	// again when the settings or the show's revision change, not at every frame.
	void failRender();

private:
	mutable std::mutex mutex;
	bool isBreak_;
	bool dirty = true;
	std::optional<UploadFrame> pendingFrame;
	std::atomic<bool> queued{false};
	std::atomic<bool> lastRenderFailed{false};
	int64_t lastRevision = -1; // graphics thread only
};
