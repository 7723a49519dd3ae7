#include "source/frame_texture.h"

#include <QImage>
#include <obs-module.h>

void FrameTexture::upload(const QImage &frame)
{
	uploads.fetch_add(1, std::memory_order_relaxed);
	const auto frameWidth = static_cast<uint32_t>(frame.width());
	const auto frameHeight = static_cast<uint32_t>(frame.height());
	const auto *bits = frame.constBits();
	const auto lineBytes = static_cast<uint32_t>(frame.bytesPerLine());
	if (texture && frameWidth == width && frameHeight == height) {
		gs_texture_set_image(texture, bits, lineBytes, false);
		return;
	}
	if (texture)
		gs_texture_destroy(texture);
	// ARGB32 lies in memory as B, G, R, A on little-endian machines: what GS_BGRA reads.
	texture = gs_texture_create(frameWidth, frameHeight, GS_BGRA, 1, &bits, GS_DYNAMIC);
	width = texture ? frameWidth : 0;
	height = texture ? frameHeight : 0;
}

void FrameTexture::draw(gs_effect_t *effect) const
{
	const bool wasSrgb = gs_framebuffer_srgb_enabled();
	gs_enable_framebuffer_srgb(true);
	gs_blend_state_push();
	gs_blend_function(GS_BLEND_ONE, GS_BLEND_INVSRCALPHA);
	gs_effect_set_texture_srgb(gs_effect_get_param_by_name(effect, "image"), texture);
	gs_draw_sprite(texture, 0, width, height);
	gs_blend_state_pop();
	gs_enable_framebuffer_srgb(wasSrgb);
}

void FrameTexture::release()
{
	if (!texture)
		return;
	obs_enter_graphics();
	gs_texture_destroy(texture);
	obs_leave_graphics();
	texture = nullptr;
	width = 0;
	height = 0;
}
