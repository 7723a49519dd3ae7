// Composing the countdown picture, alone and with the conversion the render thread does
// before a frame is handed to the graphics thread.
#include "picture/frame_composer.h"
#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"
#include "source/render_worker.h"

#include <benchmark/benchmark.h>

namespace {

// The default preset: size 200, outline 10, its title and two messages.
Preset standbyPreset()
{
	Preset preset = defaultPreset(QStringLiteral("Bench"));
	preset.messages = preset.messages.mid(0, 2);
	return preset;
}

// Standby counting down, between message changes; each iteration shows another second.
ShowSnapshot countingSnapshot(const Preset &preset, int64_t iteration)
{
	static const PictureTexts texts = currentPictureTexts(); // read once, as the show state does
	ShowSnapshot snapshot;
	snapshot.preset = preset;
	snapshot.texts = texts;
	snapshot.countdown.phase = PhaseStandby;
	snapshot.nowMono = 1003000 + (iteration % 2) * 1000;
	snapshot.countdown.startedAt = 1000000;
	snapshot.countdown.endsAt = snapshot.countdown.startedAt + preset.duration_ms;
	return snapshot;
}

ShowSnapshot breakSnapshot(const Preset &preset, int64_t iteration)
{
	ShowSnapshot snapshot = countingSnapshot(preset, iteration);
	snapshot.countdown.phase = PhaseBreak;
	snapshot.breakActive = true;
	snapshot.breakEndsAt = snapshot.nowMono + preset.break_ms - 1000 * (iteration % 2);
	return snapshot;
}

void BM_ComposeStandby(benchmark::State &state)
{
	const Preset preset = standbyPreset();
	int64_t iteration = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(composeFrame(countingSnapshot(preset, iteration++), KindStandby, 1.0));
}
BENCHMARK(BM_ComposeStandby)->Unit(benchmark::kMillisecond);

void BM_ComposeAndConvertStandby(benchmark::State &state)
{
	const Preset preset = standbyPreset();
	int64_t iteration = 0;
	QSize size;
	for (auto _ : state) {
		QImage frame = composeUploadFrame(countingSnapshot(preset, iteration++), KindStandby);
		size = frame.size();
		benchmark::DoNotOptimize(frame);
	}
	state.counters["width"] = size.width();
	state.counters["height"] = size.height();
}
BENCHMARK(BM_ComposeAndConvertStandby)->Unit(benchmark::kMillisecond);

void BM_ComposeBreak(benchmark::State &state)
{
	const Preset preset = standbyPreset();
	int64_t iteration = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(composeFrame(breakSnapshot(preset, iteration++), KindBreak, 1.0));
}
BENCHMARK(BM_ComposeBreak)->Unit(benchmark::kMillisecond);

} // namespace
