// The countdown source's per-frame pass as the host's graphics thread runs it: take the
// finished frame, upload it, decide whether to queue a render. The host's texture is a
// stand-in that copies into memory of its own what the host's upload copies at the least:
// the area around the ink, or the whole frame. The frames are the default preset's
// standby picture.
#include "source/frame_pass.h"

#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"
#include "source/frame_slot.h"
#include "source/render_worker.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

class CopyingTexture final : public PictureTexture {
public:
	explicit CopyingTexture(bool wholeFrame_) : wholeFrame(wholeFrame_) {}
	void upload(const QImage &frame, const QRect &ink) override
	{
		area = wholeFrame ? frame.rect() : textureArea(area, ink, frame.size());
		const auto rowBytes = static_cast<size_t>(area.width()) * 4;
		memory.resize(rowBytes * static_cast<size_t>(area.height()));
		for (int y = 0; y < area.height(); ++y)
			std::memcpy(memory.data() + rowBytes * static_cast<size_t>(y),
				    frame.constScanLine(area.top() + y) + area.left() * 4, rowBytes);
		benchmark::ClobberMemory();
	}
	bool exists() const override { return !memory.empty(); }
	size_t bytes() const { return memory.size(); }

private:
	bool wholeFrame;
	QRect area;
	std::vector<unsigned char> memory;
};

// The render worker's side: a render queued now is published before the next frame.
class AcceptingQueue final : public RenderQueue {
public:
	bool enqueue(FrameSlot &) override { return true; }
};

QImage countdownFrame()
{
	ShowSnapshot snapshot;
	snapshot.preset = defaultPreset(QStringLiteral("Bench"));
	snapshot.texts = currentPictureTexts();
	snapshot.countdown.phase = PhaseStandby;
	snapshot.nowMono = 1003000;
	snapshot.countdown.startedAt = 1000000;
	snapshot.countdown.endsAt = snapshot.countdown.startedAt + snapshot.preset.duration_ms;
	return composeUploadFrame(snapshot, KindStandby);
}

// A frame in which nothing changed: what most frames of a counting source are.
void BM_FramePassSteady(benchmark::State &state)
{
	FrameSlot slot;
	CopyingTexture texture(false);
	AcceptingQueue queue;
	prepareFrame(slot, texture, 1, queue);
	slot.publish(countdownFrame());
	prepareFrame(slot, texture, 1, queue);
	for (auto _ : state)
		benchmark::DoNotOptimize(prepareFrame(slot, texture, 1, queue));
}
BENCHMARK(BM_FramePassSteady);

// A frame after the show moved on: the new picture is uploaded and the next render queued.
// Argument 1 uploads the whole frame, 0 the area around its ink. The render thread's
// publishing (which finds the ink) is not timed.
void BM_FramePassNewPicture(benchmark::State &state)
{
	FrameSlot slot;
	CopyingTexture texture(state.range(0) != 0);
	AcceptingQueue queue;
	const QImage frame = countdownFrame();
	uint64_t revision = 1;
	prepareFrame(slot, texture, revision, queue);
	for (auto _ : state) {
		state.PauseTiming();
		slot.publish(frame);
		state.ResumeTiming();
		benchmark::DoNotOptimize(prepareFrame(slot, texture, ++revision, queue));
	}
	state.counters["frame_kB"] = double(frame.sizeInBytes()) / 1024;
	state.counters["uploaded_kB"] = double(texture.bytes()) / 1024;
}
BENCHMARK(BM_FramePassNewPicture)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The render thread's part of that hand-off: finding the ink of a finished frame.
void BM_InkBounds(benchmark::State &state)
{
	const QImage frame = countdownFrame();
	for (auto _ : state)
		benchmark::DoNotOptimize(inkBounds(frame));
}
BENCHMARK(BM_InkBounds)->Unit(benchmark::kMicrosecond);

} // namespace
