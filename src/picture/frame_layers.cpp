#include "picture/frame_layers.h"

#include <QPainter>

#include <atomic>

uint64_t nextLayerVersion()
{
	static std::atomic<uint64_t> last{0};
	return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

QImage flattenLayers(const LayeredFrame &frame)
{
	QImage image(frame.size, QImage::Format_ARGB32_Premultiplied);
	image.fill(Qt::transparent);
	QPainter painter(&image);
	for (const FrameLayer &layer : frame.layers) {
		if (layer.image.isNull() || layer.opacity <= 0)
			continue;
		painter.setOpacity(layer.opacity);
		painter.drawImage(0, 0, layer.image);
	}
	painter.end();
	return image;
}
