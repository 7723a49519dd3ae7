// The per-frame tick of the shared show state, with a count of heap allocations per tick
// (it runs on the graphics thread every frame and should allocate nothing).
#include "base/clock.h"
#include "settings/preset.h"
#include "show/show_state.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
} // namespace

void *operator new(std::size_t size)
{
	allocations.fetch_add(1, std::memory_order_relaxed);
	if (void *memory = std::malloc(size ? size : 1))
		return memory;
	throw std::bad_alloc();
}

void operator delete(void *memory) noexcept
{
	std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept
{
	std::free(memory);
}

namespace {

// Time moves 16 ms a frame, so the tick sees seconds, message changes and animations pass.
class FrameClock final : public Clock {
public:
	int64_t monotonicMs() const override { return mono; }
	int64_t wallMs() const override { return 1767268800000 + mono; }
	int64_t mono = 1000000;
};

// Ticks a show with the preset applied, counting down in standby or idle.
void runTicks(benchmark::State &state, const Preset &preset, bool standby)
{
	FrameClock clock;
	setActiveClock(&clock);
	ShowState show;
	// Applying a preset allocates: proof that the count works.
	const long applying = allocations.load();
	show.applyPreset(preset);
	state.counters["allocs_in_apply"] = double(allocations.load() - applying);
	if (standby)
		show.startCountdown();

	const long before = allocations.load();
	for (auto _ : state) {
		clock.mono += 16;
		show.tick();
	}
	state.counters["allocs_per_tick"] =
		benchmark::Counter(double(allocations.load() - before), benchmark::Counter::kAvgIterations);
	setActiveClock(nullptr);
}

void BM_TickStandbyCounting(benchmark::State &state)
{
	Preset preset = defaultPreset(QStringLiteral("Bench"));
	preset.last_ten = 2;
	preset.duration_ms = 60000;
	runTicks(state, preset, true);
}
BENCHMARK(BM_TickStandbyCounting);

void BM_TickIdleUntilTime(benchmark::State &state)
{
	Preset preset = defaultPreset(QStringLiteral("Bench"));
	preset.count_mode = 0;
	runTicks(state, preset, false);
}
BENCHMARK(BM_TickIdleUntilTime);

} // namespace
