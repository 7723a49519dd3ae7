#include "source/frame_texture.h"

#include "source/layer_effect.h"

#include <obs-module.h>

#include <algorithm>
#include <cstring>

namespace {

// Copies the rows of a layer's area into a mapped texture; outside the layer's image, which
// holds only its ink, the area is zero.
void copyArea(uint8_t *target, uint32_t targetLine, const QRect &area, const UploadLayer &layer)
{
	const QRect source(layer.offset, layer.image.size());
	const int from = std::max(area.left(), source.left());
	const int to = std::min(area.right(), source.right());
	for (int y = 0; y < area.height(); ++y) {
		uint8_t *row = target + static_cast<size_t>(y) * targetLine;
		std::memset(row, 0, static_cast<size_t>(area.width()) * 4);
		const int frameY = area.top() + y;
		if (frameY < source.top() || frameY > source.bottom() || from > to)
			continue;
		std::memcpy(row + static_cast<size_t>(from - area.left()) * 4,
			    layer.image.constScanLine(frameY - source.top()) +
				    static_cast<size_t>(from - source.left()) * 4,
			    static_cast<size_t>(to - from + 1) * 4);
	}
}

} // namespace

void FrameTexture::Destroy::operator()(gs_texture_t *texture) const
{
	gs_texture_destroy(texture);
}

void FrameTexture::upload(const UploadFrame &frame)
{
	for (size_t index = 0; index < layers.size(); ++index)
		uploadLayer(layers[index], frame.layers[index], frame.size);
	frameSize = frame.size;
	received = true;
}

void FrameTexture::uploadLayer(Layer &layer, const UploadLayer &next, const QSize &frame)
{
	layer.opacity = next.opacity;
	if (layer.version == next.version)
		return;
	layer.version = next.version;
	if (next.image.isNull()) {
		layer.texture.reset();
		layer.area = QRect();
		return;
	}
	uploads.fetch_add(1, std::memory_order_relaxed);
	const QRect area = textureArea(frame == frameSize ? layer.area : QRect(), next.ink, frame);
	if (!layer.texture || area.size() != layer.area.size()) {
		layer.texture.reset();
		// ARGB32 lies in memory as B, G, R, A on little-endian machines: what GS_BGRA reads.
		layer.texture.reset(gs_texture_create(static_cast<uint32_t>(area.width()),
						      static_cast<uint32_t>(area.height()), GS_BGRA, 1, nullptr,
						      GS_DYNAMIC));
	}
	layer.area = layer.texture ? area : QRect();
	uint8_t *target = nullptr;
	uint32_t targetLine = 0;
	if (!layer.texture || !gs_texture_map(layer.texture.get(), &target, &targetLine))
		return;
	copyArea(target, targetLine, layer.area, next);
	gs_texture_unmap(layer.texture.get());
}

void FrameTexture::draw() const
{
	const LayerEffect effect = layerEffect();
	if (!effect.effect)
		return;
	const bool wasSrgb = gs_framebuffer_srgb_enabled();
	gs_enable_framebuffer_srgb(true);
	gs_blend_state_push();
	gs_blend_function(GS_BLEND_ONE, GS_BLEND_INVSRCALPHA);
	for (const Layer &layer : layers) {
		if (!layer.texture || layer.opacity <= 0)
			continue;
		gs_effect_set_texture_srgb(effect.image, layer.texture.get());
		if (effect.opacity)
			gs_effect_set_float(effect.opacity, layer.opacity);
		gs_matrix_push();
		gs_matrix_translate3f(static_cast<float>(layer.area.x()), static_cast<float>(layer.area.y()), 0.0f);
		while (gs_effect_loop(effect.effect, "Draw"))
			gs_draw_sprite(layer.texture.get(), 0, static_cast<uint32_t>(layer.area.width()),
				       static_cast<uint32_t>(layer.area.height()));
		gs_matrix_pop();
	}
	gs_blend_state_pop();
	gs_enable_framebuffer_srgb(wasSrgb);
}

void FrameTexture::release()
{
	if (std::any_of(layers.begin(), layers.end(), [](const Layer &layer) { return layer.texture != nullptr; })) {
		obs_enter_graphics();
		for (Layer &layer : layers)
			layer = Layer();
		obs_leave_graphics();
	}
	frameSize = QSize();
	received = false;
}
