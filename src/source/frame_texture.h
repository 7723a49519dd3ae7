#pragma once

#include "source/frame_pass.h"
#include "source/upload_frame.h"

#include <QRect>
#include <QSize>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

struct gs_texture;
typedef struct gs_texture gs_texture_t;

// The host's textures a countdown source draws, one per layer of its frames. Used on the
// graphics thread only, except release(), which enters the graphics context itself, and
// uploadCount().
class FrameTexture final : public PictureTexture {
public:
	FrameTexture() = default;
	FrameTexture(const FrameTexture &) = delete;
	FrameTexture &operator=(const FrameTexture &) = delete;

	// Puts each layer whose version changed into its texture, the area around its ink only
	// (see textureArea): in place while the area keeps its size, else into a new texture.
	void upload(const UploadFrame &frame) override;
	bool exists() const override { return received; }
	// How many layer images were put into textures so far; any thread.
	uint64_t uploadCount() const { return uploads.load(std::memory_order_relaxed); }
	// Draws the layers in order where they lie in the frame, each as premultiplied "over"
	// with its opacity, sampled as sRGB.
	void draw() const;
	void release();

private:
	struct Destroy {
		void operator()(gs_texture_t *texture) const;
	};
	struct Layer {
		std::unique_ptr<gs_texture_t, Destroy> texture; // destroyed inside the graphics context
		QRect area;                                     // of the frame, in the texture; empty without a texture
		uint64_t version = 0;
		float opacity = 1;
	};
	void uploadLayer(Layer &layer, const UploadLayer &next, const QSize &frame);

	std::array<Layer, frameLayerCount> layers;
	QSize frameSize;
	bool received = false;
	std::atomic<uint64_t> uploads{0};
};
