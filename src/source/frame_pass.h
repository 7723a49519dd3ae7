#pragma once

#include <QRect>

#include <cstdint>

class FrameSlot;
class QSize;
struct UploadFrame;

// The textures of a countdown source as the per-frame pass sees them; graphics thread only.
class PictureTexture {
public:
	virtual ~PictureTexture() = default;
	// Takes a finished frame; a layer whose version it already holds is not uploaded again.
	virtual void upload(const UploadFrame &frame) = 0;
	// A frame arrived, so there is a picture to draw (it may show nothing).
	virtual bool exists() const = 0;
};

// Where a slot that claimed a render is queued.
class RenderQueue {
public:
	virtual ~RenderQueue() = default;
	// False when the render could not be queued.
	virtual bool enqueue(FrameSlot &slot) = 0;
};

// What the graphics thread does for one countdown source at each frame before it draws:
// uploads the frame finished since the last pass, if any, and queues the next render when
// the source's settings changed, the show's revision moved or there is no picture yet.
// True when there is a picture to draw.
bool prepareFrame(FrameSlot &slot, PictureTexture &texture, uint64_t showRevision, RenderQueue &queue);

// The part of a frame a layer's texture holds: the ink with one zero pixel around it,
// within the frame, widened to whole blocks of 32 pixels so that the ink of the next frames
// mostly fits as well. While the ink fits into the current area, that area stays, and with it the
// texture. Filtering at the area's edge reads the zero pixels it would read in the whole
// frame, so the drawn picture is the same, at any scale. Never empty for a frame that is
// not empty.
QRect textureArea(const QRect &current, const QRect &ink, const QSize &frame);
