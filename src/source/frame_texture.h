#pragma once

#include <atomic>
#include <cstdint>

class QImage;
struct gs_effect;
struct gs_texture;
typedef struct gs_effect gs_effect_t;
typedef struct gs_texture gs_texture_t;

// The texture a countdown source draws. Used on the graphics thread only, except
// release(), which enters the graphics context itself, and uploadCount().
class FrameTexture {
public:
	FrameTexture() = default;
	FrameTexture(const FrameTexture &) = delete;
	FrameTexture &operator=(const FrameTexture &) = delete;

	// Puts a premultiplied ARGB32 frame into the texture: in place while the size stays,
	// else into a new dynamic texture.
	void upload(const QImage &frame);
	bool exists() const { return texture != nullptr; }
	// How many frames were uploaded so far; any thread.
	uint64_t uploadCount() const { return uploads.load(std::memory_order_relaxed); }
	// Draws it as premultiplied "over" through the default effect, sampled as sRGB.
	void draw(gs_effect_t *effect) const;
	void release();

private:
	gs_texture_t *texture = nullptr;
	uint32_t width = 0;
	uint32_t height = 0;
	std::atomic<uint64_t> uploads{0};
};
