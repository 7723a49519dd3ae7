#pragma once

#include "source/frame_pass.h"

#include <QRect>
#include <QSize>

#include <atomic>
#include <cstdint>
#include <memory>

struct gs_effect;
struct gs_texture;
typedef struct gs_effect gs_effect_t;
typedef struct gs_texture gs_texture_t;

// The host's texture a countdown source draws. Used on the graphics thread only, except
// release(), which enters the graphics context itself, and uploadCount().
class FrameTexture final : public PictureTexture {
public:
	FrameTexture() = default;
	FrameTexture(const FrameTexture &) = delete;
	FrameTexture &operator=(const FrameTexture &) = delete;

	// Puts the area around the ink of a premultiplied ARGB32 frame into the texture (see
	// textureArea): in place while the area keeps its size, else into a new texture.
	void upload(const QImage &frame, const QRect &ink) override;
	bool exists() const override { return texture != nullptr; }
	// How many frames were uploaded so far; any thread.
	uint64_t uploadCount() const { return uploads.load(std::memory_order_relaxed); }
	// Draws it where its area lies in the frame, as premultiplied "over" through the
	// default effect, sampled as sRGB.
	void draw(gs_effect_t *effect) const;
	void release();

private:
	struct Destroy {
		void operator()(gs_texture_t *texture) const;
	};
	std::unique_ptr<gs_texture_t, Destroy> texture; // destroyed inside the graphics context
	QSize frameSize;
	QRect area; // of the frame, in the texture; empty without a texture
	std::atomic<uint64_t> uploads{0};
};
