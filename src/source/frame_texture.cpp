#include "source/frame_texture.h"

#include <QImage>
#include <obs-module.h>

#include <cstring>

void FrameTexture::Destroy::operator()(gs_texture_t *texture) const
{
	gs_texture_destroy(texture);
}

void FrameTexture::upload(const QImage &frame, const QRect &ink)
{
	uploads.fetch_add(1, std::memory_order_relaxed);
	const QRect next = textureArea(frame.size() == frameSize ? area : QRect(), ink, frame.size());
	frameSize = frame.size();
	if (!texture || next.size() != area.size()) {
		texture.reset();
		// ARGB32 lies in memory as B, G, R, A on little-endian machines: what GS_BGRA reads.
		texture.reset(gs_texture_create(static_cast<uint32_t>(next.width()),
						static_cast<uint32_t>(next.height()), GS_BGRA, 1, nullptr, GS_DYNAMIC));
	}
	area = texture ? next : QRect();
	uint8_t *target = nullptr;
	uint32_t targetLine = 0;
	if (!texture || !gs_texture_map(texture.get(), &target, &targetLine))
		return;
	const auto rowBytes = static_cast<size_t>(area.width()) * 4;
	for (int y = 0; y < area.height(); ++y)
		std::memcpy(target + static_cast<size_t>(y) * targetLine,
			    frame.constScanLine(area.top() + y) + static_cast<size_t>(area.left()) * 4, rowBytes);
	gs_texture_unmap(texture.get());
}

void FrameTexture::draw(gs_effect_t *effect) const
{
	const bool wasSrgb = gs_framebuffer_srgb_enabled();
	gs_enable_framebuffer_srgb(true);
	gs_blend_state_push();
	gs_blend_function(GS_BLEND_ONE, GS_BLEND_INVSRCALPHA);
	gs_effect_set_texture_srgb(gs_effect_get_param_by_name(effect, "image"), texture.get());
	gs_matrix_push();
	gs_matrix_translate3f(static_cast<float>(area.x()), static_cast<float>(area.y()), 0.0f);
	gs_draw_sprite(texture.get(), 0, static_cast<uint32_t>(area.width()), static_cast<uint32_t>(area.height()));
	gs_matrix_pop();
	gs_blend_state_pop();
	gs_enable_framebuffer_srgb(wasSrgb);
}

void FrameTexture::release()
{
	if (!texture)
		return;
	obs_enter_graphics();
	texture.reset();
	obs_leave_graphics();
	frameSize = QSize();
	area = QRect();
}
