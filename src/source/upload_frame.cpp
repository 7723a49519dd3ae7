#include "source/upload_frame.h"

#include "picture/frame_composer.h"
#include "picture/premultiply.h"

#include <algorithm>

namespace {

bool rowHasInk(const uint32_t *row, int from, int to)
{
	return std::any_of(row + from, row + to, [](uint32_t pixel) { return pixel != 0; });
}

// A premultiplied layer as the texture takes it. A pixel that is zero stays zero through
// the conversion, so the ink is found before it, and only the ink is converted.
void convertLayer(const QImage &composed, UploadLayer &layer)
{
	layer.ink = composed.isNull() ? QRect() : inkBounds(composed);
	layer.offset = layer.ink.topLeft();
	layer.image = QImage();
	if (layer.ink.isEmpty())
		return;
	layer.image = composed.copy(layer.ink);
	premultiplyLinear(layer.image);
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

UploadFrameMaker::UploadFrameMaker(int kind) : composer(std::make_unique<FrameComposer>(kind, 1.0)) {}

UploadFrameMaker::~UploadFrameMaker() = default;

UploadFrame UploadFrameMaker::make(const ShowSnapshot &snapshot)
{
	const LayeredFrame &composed = composer->compose(snapshot);
	last.size = composed.size;
	for (size_t index = 0; index < composed.layers.size(); ++index) {
		const FrameLayer &layer = composed.layers[index];
		UploadLayer &upload = last.layers[index];
		upload.opacity = static_cast<float>(layer.opacity);
		if (upload.version == layer.version)
			continue;
		upload.version = layer.version;
		convertLayer(layer.image, upload);
	}
	return last;
}
