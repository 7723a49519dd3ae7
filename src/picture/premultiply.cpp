#include "picture/premultiply.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr int srgbSteps = 4096;

struct ColourTables {
	std::array<float, 256> toLinear;
	std::array<uint8_t, srgbSteps> toSrgb;

	ColourTables()
	{
		for (int i = 0; i < 256; ++i) {
			const float c = i / 255.0f;
			toLinear[i] = c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
		}
		for (int j = 0; j < srgbSteps; ++j) {
			const float x = j / float(srgbSteps - 1);
			float v = x <= 0.0031308f ? x * 12.92f : 1.055f * std::pow(x, 0.41666666f) - 0.055f;
			v = std::fmin(std::fmax(v, 0.0f), 1.0f);
			toSrgb[j] = static_cast<uint8_t>(std::round(v * 255.0f));
		}
	}
};

const ColourTables &colourTables()
{
	static const ColourTables tables;
	return tables;
}

} // namespace

void premultiplyLinear(QImage &image)
{
	image.convertTo(QImage::Format_ARGB32); // in place when the depth stays
	const ColourTables &tables = colourTables();
	const float steps = srgbSteps - 1;
	const int width = image.width();
	const int height = image.height();
	for (int y = 0; y < height; ++y) {
		auto *line = reinterpret_cast<uint32_t *>(image.scanLine(y));
		for (int x = 0; x < width; ++x) {
			const uint32_t pixel = line[x];
			const uint32_t alpha = pixel >> 24;
			if (alpha == 255)
				continue;
			if (alpha == 0) {
				line[x] = 0;
				continue;
			}
			const float a = alpha / 255.0f;
			auto channel = [&](int shift) {
				const float linear = tables.toLinear[(pixel >> shift) & 0xff];
				return uint32_t(tables.toSrgb[static_cast<int>(a * linear * steps + 0.5f)]) << shift;
			};
			line[x] = (alpha << 24) | channel(16) | channel(8) | channel(0);
		}
	}
}
