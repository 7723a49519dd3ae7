// The linear-light premultiplication on a typical picture size and on a full HD one, with
// the mix of transparent, opaque and edge pixels of outlined text.
#include "picture/premultiply.h"

#include <benchmark/benchmark.h>

namespace {

QImage textLikeImage(int width, int height)
{
	QImage image(width, height, QImage::Format_ARGB32);
	for (int y = 0; y < height; ++y) {
		auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
		for (int x = 0; x < width; ++x) {
			const int band = (x / 7 + y / 5) % 6; // transparent, edges and solid ink
			const int alpha = band < 3 ? 0 : band == 3 ? 96 : band == 4 ? 200 : 255;
			line[x] = qRgba(231, 124, 172, alpha);
		}
	}
	return image;
}

void BM_PremultiplyLinear(benchmark::State &state)
{
	const QImage source = textLikeImage(int(state.range(0)), int(state.range(1)));
	for (auto _ : state) {
		state.PauseTiming();
		QImage image = source.copy();
		state.ResumeTiming();
		premultiplyLinear(image);
		benchmark::DoNotOptimize(image);
	}
}
BENCHMARK(BM_PremultiplyLinear)->Args({800, 300})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

} // namespace
