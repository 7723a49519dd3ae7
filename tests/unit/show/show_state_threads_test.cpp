// Readers on other threads see whole states while the UI and graphics threads write. Run
// under ThreadSanitizer in CI.
#include "show/show_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(ShowStateThreads, SnapshotsAndTicksRaceWithWriters)
{
	ShowState state;
	std::atomic<bool> stop{false};
	std::atomic<int> inconsistent{0};

	std::thread graphics([&] {
		while (!stop)
			state.tick();
	});
	std::thread reader([&] {
		uint64_t lastRevision = 0;
		while (!stop) {
			const ShowSnapshot snap = state.snapshot();
			// Revisions never go back, and the preset is always one whole preset (the
			// first snapshots may still see the empty start preset).
			const bool wholePreset = snap.preset.name.isEmpty() ||
						 snap.preset.title == QStringLiteral("T") + snap.preset.name;
			if (snap.revision < lastRevision || !wholePreset)
				inconsistent++;
			lastRevision = snap.revision;
			state.isCounting();
			state.stateForProcedure();
		}
	});

	for (int round = 0; round < 2000; ++round) {
		Preset preset;
		preset.name = QString::number(round);
		preset.title = QStringLiteral("T") + preset.name;
		state.applyPreset(preset);
		state.startCountdown();
		state.setHeld(round % 2 == 0);
		state.finishCountdown();
		state.startBreakCountdown();
		state.resetCountdown();
	}
	stop = true;
	graphics.join();
	reader.join();
	EXPECT_EQ(inconsistent.load(), 0);
}

TEST(ShowStateThreads, FlowRecordIsReadAsOnePublishedTriple)
{
	std::atomic<bool> stop{false};
	std::atomic<int> torn{0};
	publishFlow(FlowStatus()); // not what an earlier test left behind
	std::vector<std::thread> readers;
	for (int i = 0; i < 3; ++i) {
		readers.emplace_back([&] {
			while (!stop) {
				const FlowStatus flow = readFlow();
				const bool heldByStep = flow.step == StepOp;
				if (flow.held != heldByStep ||
				    (flow.held && flow.holdReason != QStringLiteral("op!")))
					torn++;
			}
		});
	}
	for (int round = 0; round < 20000; ++round) {
		FlowStatus flow;
		flow.held = round % 2 == 0;
		flow.step = flow.held ? StepOp : StepNone;
		flow.holdReason = flow.held ? QStringLiteral("op!") : QString();
		publishFlow(flow);
	}
	stop = true;
	for (std::thread &reader : readers)
		reader.join();
	EXPECT_EQ(torn.load(), 0);
}
