// Composing the countdown picture: whole, as a one-shot composition does it, and as the
// render thread makes its frames, drawing and converting only the layers that changed.
#include "picture/frame_composer.h"
#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"
#include "source/upload_frame.h"

#include <benchmark/benchmark.h>

#include <utility>

namespace {

constexpr int64_t frameMs = 33; // a frame at 30 fps

// The default preset: size 200, outline 10, its title and two messages.
Preset standbyPreset(int lastTen = 0)
{
	Preset preset = defaultPreset(QStringLiteral("Bench"));
	preset.messages = preset.messages.mid(0, 2);
	preset.last_ten = lastTen;
	return preset;
}

// Standby counting down with `leftMs` to go at the monotonic time `nowMono`.
ShowSnapshot countingSnapshot(const Preset &preset, int64_t leftMs, int64_t nowMono)
{
	static const PictureTexts texts = currentPictureTexts(); // read once, as the show state does
	ShowSnapshot snapshot;
	snapshot.preset = preset;
	snapshot.texts = texts;
	snapshot.countdown.phase = PhaseStandby;
	snapshot.nowMono = nowMono;
	snapshot.countdown.startedAt = nowMono - 1000;
	snapshot.countdown.endsAt = nowMono + leftMs;
	return snapshot;
}

// Between message changes; each iteration shows another second.
void BM_ComposeStandby(benchmark::State &state)
{
	const Preset preset = standbyPreset();
	int64_t iteration = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(composeFrame(
			countingSnapshot(preset, 300000 - 1000 * (iteration++ % 2), 1003000), KindStandby, 1.0));
}
BENCHMARK(BM_ComposeStandby)->Unit(benchmark::kMillisecond);

// The render thread's frames, one an iteration: `at(n)` gives the nth frame's time left
// and monotonic time.
template<typename At> void makeFrames(benchmark::State &state, int lastTen, At at)
{
	const Preset preset = standbyPreset(lastTen);
	UploadFrameMaker maker(KindStandby);
	int64_t frame = 0;
	for (auto _ : state) {
		const auto [leftMs, nowMono] = at(frame++);
		benchmark::DoNotOptimize(maker.make(countingSnapshot(preset, leftMs, nowMono)));
	}
}

// At each new second: the time is drawn and converted again.
void BM_NewSecond(benchmark::State &state)
{
	makeFrames(state, 0, [](int64_t second) {
		return std::pair<int64_t, int64_t>(300000 - 1000 * second, 1003000 + 1000 * second);
	});
}
BENCHMARK(BM_NewSecond)->Unit(benchmark::kMillisecond);

// Frames 33 ms apart through a change of message (its last and first half second), which
// also turns a second: mostly a new opacity, once a new line.
void BM_MessageChangeFrame(benchmark::State &state)
{
	makeFrames(state, 0, [](int64_t frame) {
		const int64_t since = (frame * frameMs) % 1000; // 5.5 s to 6.5 s of a message's 6 s
		return std::pair<int64_t, int64_t>(300000 - since, 1005500 + since);
	});
}
BENCHMARK(BM_MessageChangeFrame)->Unit(benchmark::kMillisecond);

// Frames 33 ms apart in the last ten seconds, the time growing (1) or hopping (2).
void BM_LastTenFrame(benchmark::State &state)
{
	makeFrames(state, int(state.range(0)), [](int64_t frame) {
		const int64_t since = (frame * frameMs) % 9000;
		return std::pair<int64_t, int64_t>(9500 - since, 1002000 + since);
	});
}
BENCHMARK(BM_LastTenFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ComposeBreak(benchmark::State &state)
{
	const Preset preset = standbyPreset();
	int64_t iteration = 0;
	for (auto _ : state) {
		ShowSnapshot snapshot = countingSnapshot(preset, 300000, 1003000);
		snapshot.countdown.phase = PhaseBreak;
		snapshot.breakActive = true;
		snapshot.breakEndsAt = snapshot.nowMono + preset.break_ms - 1000 * (iteration++ % 2);
		benchmark::DoNotOptimize(composeFrame(snapshot, KindBreak, 1.0));
	}
}
BENCHMARK(BM_ComposeBreak)->Unit(benchmark::kMillisecond);

} // namespace
