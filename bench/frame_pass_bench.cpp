// The countdown source's per-frame pass as the host's graphics thread runs it: take the
// finished frame, upload what changed, decide whether to queue a render. The host's
// textures are a stand-in that copies into memory of its own what the host's upload copies
// at the least: each new layer's ink. The frames are the default preset's standby picture.
#include "source/frame_pass.h"

#include "settings/preset.h"
#include "show/picture_texts.h"
#include "show/show_state.h"
#include "source/frame_slot.h"
#include "source/upload_frame.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

class CopyingTexture final : public PictureTexture {
public:
	void upload(const UploadFrame &frame) override
	{
		for (size_t index = 0; index < frame.layers.size(); ++index) {
			const UploadLayer &layer = frame.layers[index];
			if (layer.version == versions[index])
				continue;
			versions[index] = layer.version;
			memory[index].assign(layer.image.constBits(),
					     layer.image.constBits() + layer.image.sizeInBytes());
			uploaded += memory[index].size();
		}
		benchmark::ClobberMemory();
		received = true;
	}
	bool exists() const override { return received; }
	size_t uploaded = 0;

private:
	std::array<uint64_t, frameLayerCount> versions{};
	std::array<std::vector<unsigned char>, frameLayerCount> memory;
	bool received = false;
};

// The render worker's side: a render queued now is published before the next frame.
class AcceptingQueue final : public RenderQueue {
public:
	bool enqueue(FrameSlot &) override { return true; }
};

// Two seconds of the countdown, as the render thread makes them one after the other.
std::array<UploadFrame, 2> countdownFrames()
{
	ShowSnapshot snapshot;
	snapshot.preset = defaultPreset(QStringLiteral("Bench"));
	snapshot.texts = currentPictureTexts();
	snapshot.countdown.phase = PhaseStandby;
	snapshot.nowMono = 1003000;
	snapshot.countdown.startedAt = 1000000;
	snapshot.countdown.endsAt = snapshot.countdown.startedAt + snapshot.preset.duration_ms;
	UploadFrameMaker maker(KindStandby);
	const UploadFrame first = maker.make(snapshot);
	snapshot.nowMono += 1000;
	return {first, maker.make(snapshot)};
}

// A frame in which nothing changed: what most frames of a counting source are.
void BM_FramePassSteady(benchmark::State &state)
{
	FrameSlot slot;
	CopyingTexture texture;
	AcceptingQueue queue;
	prepareFrame(slot, texture, 1, queue);
	slot.publish(countdownFrames()[0]);
	prepareFrame(slot, texture, 1, queue);
	for (auto _ : state)
		benchmark::DoNotOptimize(prepareFrame(slot, texture, 1, queue));
}
BENCHMARK(BM_FramePassSteady);

// A frame after a new second: the time's layer is uploaded and the next render queued. The
// render thread's publishing is not timed.
void BM_FramePassNewSecond(benchmark::State &state)
{
	FrameSlot slot;
	CopyingTexture texture;
	AcceptingQueue queue;
	const std::array<UploadFrame, 2> frames = countdownFrames();
	uint64_t revision = 1;
	prepareFrame(slot, texture, revision, queue);
	slot.publish(frames[0]);
	prepareFrame(slot, texture, ++revision, queue);
	const size_t first = texture.uploaded;
	UploadFrame next = frames[1];
	for (auto _ : state) {
		state.PauseTiming();
		next.layers[LayerCentre].version += 2; // another second again
		slot.publish(next);
		state.ResumeTiming();
		benchmark::DoNotOptimize(prepareFrame(slot, texture, ++revision, queue));
	}
	state.counters["first_kB"] = double(first) / 1024;
	state.counters["second_kB"] = double(texture.uploaded - first) / 1024 / double(state.iterations());
}
BENCHMARK(BM_FramePassNewSecond)->Unit(benchmark::kMicrosecond);

} // namespace
