// The frames the render thread makes from layers, laid over each other as the graphics
// thread draws them (premultiplied "over" in linear light, each layer with its opacity),
// against the whole frames of the composer before layers.
#include "picture/premultiply.h"
#include "settings/preset.h"
#include "show/show_state.h"
#include "source/upload_frame.h"
#include "whole_frame_composer.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Every frame is made; one moving frame in three and one still frame in fifteen are also
// drawn whole and compared (five times fewer under the sanitizers, which make every frame
// slow): a whole frame costs as much as a hundred layered ones.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int movingStep = 15;
#else
constexpr int movingStep = 3;
#endif
constexpr int stillStep = movingStep * 5;
constexpr int64_t showMs = 70000;
constexpr int64_t startedAt = 996000; // a message's 6 s start here

// sRGB's curve, exactly: the graphics thread's sampler decodes, its framebuffer encodes.
const std::array<double, 256> &decoded()
{
	static const std::array<double, 256> table = [] {
		std::array<double, 256> values{};
		for (size_t i = 0; i < values.size(); ++i) {
			const double c = double(i) / 255;
			values[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
		}
		return values;
	}();
	return table;
}

uint32_t encoded(double linear)
{
	const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
	return uint32_t(std::lround(std::clamp(c, 0.0, 1.0) * 255));
}

// The "over" of a texel at an opacity on a target pixel, both premultiplied and stored as
// sRGB, in linear light.
uint32_t over(uint32_t texel, float opacity, uint32_t target)
{
	const double a = (texel >> 24) / 255.0 * opacity;
	uint32_t result = uint32_t(std::lround((a + (target >> 24) / 255.0 * (1 - a)) * 255)) << 24;
	for (const int shift : {16, 8, 0})
		result |= encoded(decoded()[(texel >> shift) & 0xff] * opacity +
				  decoded()[(target >> shift) & 0xff] * (1 - a))
			  << shift;
	return result;
}

// What the graphics thread's drawing of the layers leaves on a transparent target, as the
// bytes of a texture. A texel drawn whole over nothing comes back as it is: decoding and
// encoding again keep every 8-bit value.
QImage laidOver(const UploadFrame &frame)
{
	QImage image(frame.size, QImage::Format_ARGB32);
	image.fill(0);
	for (const UploadLayer &layer : frame.layers) {
		for (int y = 0; y < layer.image.height(); ++y) {
			const auto *row = reinterpret_cast<const uint32_t *>(layer.image.constScanLine(y));
			auto *target =
				reinterpret_cast<uint32_t *>(image.scanLine(layer.offset.y() + y)) + layer.offset.x();
			for (int x = 0; x < layer.image.width(); ++x) {
				if (row[x] != 0)
					target[x] = layer.opacity == 1 && target[x] == 0
							    ? row[x]
							    : over(row[x], layer.opacity, target[x]);
			}
		}
	}
	return image;
}

double psnr(const QImage &a, const QImage &b)
{
	double squares = 0;
	for (int y = 0; y < a.height(); ++y) {
		const uchar *left = a.constScanLine(y);
		const uchar *right = b.constScanLine(y);
		for (int x = 0; x < a.width() * 4; ++x)
			squares += (left[x] - right[x]) * (left[x] - right[x]);
	}
	if (squares == 0)
		return std::numeric_limits<double>::infinity();
	return 10 * std::log10(255.0 * 255.0 / (squares / (a.width() * a.height() * 4.0)));
}

// A frame moves while a message fades, in the last ten seconds and as the end text pops in.
bool animated(const ShowSnapshot &snapshot)
{
	const int64_t inPeriod = snapshot.nowMono % 6000;
	const int64_t left = snapshot.remainingMs();
	const int64_t sinceZero = snapshot.nowMono - snapshot.countdown.endsAt;
	return inPeriod < 500 || inPeriod > 5500 || (left > 0 && left <= 10000) || (sinceZero >= 0 && sinceZero < 500);
}

} // namespace

TEST(LayeredFrames, GiveTheFramesOfTheWholeComposerThroughA70SecondStandby)
{
	for (const int lastTen : {1, 2}) {
		SCOPED_TRACE(lastTen == 1 ? "last ten: grow" : "last ten: bounce");
		Preset preset = defaultPreset(QStringLiteral("Default"));
		preset.last_ten = lastTen;
		ASSERT_GE(preset.messages.size(), 2) << "the default preset's messages change";
		UploadFrameMaker maker(KindStandby);
		ShowSnapshot snapshot;
		snapshot.preset = preset;
		snapshot.texts = currentPictureTexts();
		snapshot.countdown.phase = PhaseStandby;
		snapshot.countdown.startedAt = startedAt;
		snapshot.countdown.endsAt = startedAt + showMs;
		int stillFrames = 0;
		int movingFrames = 0;
		int still = 0; // of them compared
		int moving = 0;
		double worst = std::numeric_limits<double>::infinity();
		std::array<uint64_t, frameLayerCount> firstVersions{};
		std::array<uint64_t, frameLayerCount> lastVersions{};
		int centreDrawn = 0;
		int messageDrawn = 0;
		for (int frame = 0; frame * 100 <= (showMs + 2000) * 3; ++frame) {
			snapshot.nowMono = startedAt + frame * 100 / 3; // 30 frames a second
			const UploadFrame layers = maker.make(snapshot);
			if (frame == 0)
				firstVersions = {layers.layers[0].version, layers.layers[1].version,
						 layers.layers[2].version};
			EXPECT_EQ(layers.layers[LayerStill].version, firstVersions[0]) << "the title is drawn once";
			if (snapshot.remainingMs() > 10000) {
				// Before the last ten: the time once a second, the message once a line.
				centreDrawn += layers.layers[LayerCentre].version != lastVersions[1];
				messageDrawn += layers.layers[LayerMessage].version != lastVersions[2];
			}
			lastVersions = {layers.layers[0].version, layers.layers[1].version, layers.layers[2].version};
			const bool isMoving = animated(snapshot);
			++(isMoving ? movingFrames : stillFrames);
			if (frame % (isMoving ? movingStep : stillStep) != 0)
				continue;
			QImage whole = composeWholeFrame(snapshot, KindStandby, 1.0);
			premultiplyLinear(whole);
			const QImage laid = laidOver(layers);
			ASSERT_EQ(laid.size(), whole.size());
			if (isMoving) {
				++moving;
				worst = std::min(worst, psnr(laid, whole));
			} else {
				++still;
				ASSERT_EQ(laid, whole) << "a still frame at " << frame * 100 / 3 << " ms";
			}
		}
		EXPECT_GE(worst, 40.0);
		EXPECT_EQ(centreDrawn, 60) << "one drawing for each second from 1:10 to 0:11";
		EXPECT_EQ(messageDrawn, 10) << "one for each line shown in those 60 s";
		EXPECT_GT(stillFrames, 1500);
		EXPECT_GT(movingFrames, 600) << "the fades, the last ten seconds and the pop at zero";
		EXPECT_GE(std::min(still, moving), 20) << "both kinds were compared";
		std::printf("last_ten %d: %d still frames identical, %d moving ones at %.1f dB or better\n", lastTen,
			    still, moving, worst);
	}
}
