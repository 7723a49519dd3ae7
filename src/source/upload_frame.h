#pragma once

#include "picture/frame_layers.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <memory>

class FrameComposer;
struct ShowSnapshot;

// One layer of a frame as the graphics thread puts it into a texture: straight ARGB32
// premultiplied in linear light, cut to the box of its ink. Outside that box the layer
// is all zero.
struct UploadLayer {
	QImage image;  // null when the layer shows nothing
	QPoint offset; // of the image in the frame
	QRect ink;     // the image's box in the frame; empty without an image
	float opacity = 1;
	uint64_t version = 0; // the same number, the same image
};

struct UploadFrame {
	QSize size;
	std::array<UploadLayer, frameLayerCount> layers;
};

// Makes the frames of one kind ready for upload from a composer of its own, converting
// only the layers whose content changed since its last frame. One thread at a time.
class UploadFrameMaker {
public:
	explicit UploadFrameMaker(int kind);
	~UploadFrameMaker();
	UploadFrameMaker(const UploadFrameMaker &) = delete;
	UploadFrameMaker &operator=(const UploadFrameMaker &) = delete;

	UploadFrame make(const ShowSnapshot &snapshot);

private:
	std::unique_ptr<FrameComposer> composer;
	UploadFrame last;
};

// The smallest box holding every pixel of a 32-bit image that is not all zero: outside
// it a premultiplied frame adds nothing to what lies beneath. Empty when there is none.
QRect inkBounds(const QImage &frame);
