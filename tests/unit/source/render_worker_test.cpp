// The render worker and the frame hand-off, driven the way the host's graphics thread
// drives them, with a stand-in composer so no graphics device is needed. Meant to run
// under ThreadSanitizer as well.
#include "show/show_state.h"
#include "log_capture.h"
#include "base/module_host.h"
#include "picture/frame_layout.h"
#include "picture/preset_picture.h"
#include "source/frame_slot.h"
#include "source/render_worker.h"
#include "source/upload_frame.h"
#include "test_process.h"

#include <QImage>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <random>
#include <thread>
#include <vector>

namespace {

// A frame that tells which kind it was made for.
UploadFrame kindFrame(int kind, int side = 2)
{
	UploadFrame frame;
	frame.size = QSize(side, side);
	UploadLayer &layer = frame.layers[LayerCentre];
	layer.image = QImage(frame.size, QImage::Format_ARGB32);
	layer.image.fill(kind == KindBreak ? qRgba(0, 0, 255, 255) : qRgba(255, 0, 0, 255));
	layer.ink = layer.image.rect();
	return frame;
}

int kindOfFrame(const UploadFrame &frame)
{
	return frame.layers[LayerCentre].image.pixel(0, 0) == qRgba(0, 0, 255, 255) ? KindBreak : KindStandby;
}

// One pass of the graphics thread's video_render for a slot: take a finished frame,
// then queue a render when one is due. Returns the frame taken (maybe null).
std::optional<UploadFrame> renderPass(FrameSlot &slot, RenderWorker &worker, uint64_t revision, bool hasPicture)
{
	FrameSlot::Taken taken = slot.take();
	if (slot.claimRender(taken.dirty, revision, hasPicture || taken.frame.has_value()))
		worker.enqueue(&slot);
	return taken.frame;
}

// Repeats render passes until a frame arrives; the worker always delivers one for a
// queued slot, so this ends.
UploadFrame waitForFrame(FrameSlot &slot, RenderWorker &worker, uint64_t revision, bool hasPicture)
{
	for (;;) {
		std::optional<UploadFrame> frame = renderPass(slot, worker, revision, hasPicture);
		if (frame)
			return *frame;
		std::this_thread::yield();
	}
}

// Waits until the worker has started `count` renders in all and the last one has ended.
void settle(RenderWorker &worker, FrameSlot &slot, const std::atomic<int> &renders, int count)
{
	while (renders.load() < count)
		std::this_thread::yield();
	worker.forget(&slot); // returns once the running render is over
}

// A composer the test can stop in the middle of a render.
class Gate {
public:
	UploadFrame compose(int kind)
	{
		std::unique_lock<std::mutex> lock(mutex);
		++started;
		changed.notify_all();
		changed.wait(lock, [this] { return open; });
		finished = true;
		return kindFrame(kind);
	}
	void waitStarted(int count)
	{
		std::unique_lock<std::mutex> lock(mutex);
		changed.wait(lock, [&] { return started >= count; });
	}
	void release()
	{
		std::lock_guard<std::mutex> lock(mutex);
		open = true;
		changed.notify_all();
	}
	bool hasFinished()
	{
		std::lock_guard<std::mutex> lock(mutex);
		return finished;
	}

private:
	std::mutex mutex;
	std::condition_variable changed;
	int started = 0;
	bool open = false;
	bool finished = false;
};

} // namespace

TEST(RenderWorkerThreads, NewSourceGetsItsFirstFrameAfterAFewPasses)
{
	std::atomic<int> renders{0};
	RenderWorker worker([&](int kind) {
		++renders;
		return kindFrame(kind);
	});
	FrameSlot slot(false);
	EXPECT_FALSE(renderPass(slot, worker, 1, false).has_value()); // nothing to draw yet
	const UploadFrame frame = waitForFrame(slot, worker, 1, false);
	EXPECT_EQ(kindOfFrame(frame), KindStandby);
	EXPECT_EQ(renders.load(), 1);
	worker.forget(&slot);
}

TEST(RenderWorkerThreads, EachSourceRendersOncePerRevision)
{
	std::atomic<int> renders{0};
	RenderWorker worker([&](int kind) {
		++renders;
		return kindFrame(kind);
	});
	FrameSlot first(false);
	FrameSlot second(false);
	waitForFrame(first, worker, 7, false);
	waitForFrame(second, worker, 7, false);
	EXPECT_EQ(renders.load(), 2);

	// A steady picture asks for nothing.
	for (int pass = 0; pass < 100; ++pass) {
		EXPECT_FALSE(renderPass(first, worker, 7, true).has_value());
		EXPECT_FALSE(renderPass(second, worker, 7, true).has_value());
	}
	EXPECT_EQ(renders.load(), 2);

	waitForFrame(first, worker, 8, true);
	waitForFrame(second, worker, 8, true);
	EXPECT_EQ(renders.load(), 4);
	worker.forget(&first);
	worker.forget(&second);
}

TEST(RenderWorkerThreads, RevisionChangedDuringARenderIsNotLost)
{
	Gate gate;
	RenderWorker worker([&](int kind) { return gate.compose(kind); });
	FrameSlot slot(false);
	EXPECT_FALSE(renderPass(slot, worker, 1, false).has_value());
	gate.waitStarted(1);
	// The show moves on while the first frame is being made: no second render yet.
	EXPECT_FALSE(renderPass(slot, worker, 2, false).has_value());
	gate.release();
	waitForFrame(slot, worker, 2, false);
	// The frame was of revision 1; the next pass asks for revision 2.
	waitForFrame(slot, worker, 2, true);
	gate.waitStarted(2);
	worker.forget(&slot);
}

TEST(RenderWorkerThreads, ChangedKindRendersTheOtherPicture)
{
	RenderWorker worker([](int kind) { return kindFrame(kind); });
	FrameSlot slot(false);
	EXPECT_EQ(kindOfFrame(waitForFrame(slot, worker, 3, false)), KindStandby);
	slot.setKind(true);
	EXPECT_TRUE(slot.isBreak());
	ASSERT_TRUE(slot.take().dirty) << "a new kind must ask for a new picture at the same revision";
	EXPECT_EQ(kindOfFrame(waitForFrame(slot, worker, 3, true)), KindBreak);
	worker.forget(&slot);
}

TEST(RenderWorkerThreads, SourceForgottenWhileQueuedIsNeverRendered)
{
	Gate gate;
	std::atomic<int> breakRenders{0};
	RenderWorker worker([&](int kind) {
		if (kind == KindBreak)
			++breakRenders;
		return gate.compose(kind);
	});
	FrameSlot busy(false);
	renderPass(busy, worker, 1, false);
	gate.waitStarted(1);

	auto queued = std::make_unique<FrameSlot>(true);
	renderPass(*queued, worker, 1, false);
	worker.forget(queued.get());
	queued.reset();

	gate.release();
	FrameSlot later(false);
	waitForFrame(later, worker, 1, false);
	EXPECT_EQ(breakRenders.load(), 0);
	worker.forget(&busy);
	worker.forget(&later);
}

TEST(RenderWorkerThreads, ForgettingARenderingSourceWaitsForTheRenderToEnd)
{
	Gate gate;
	RenderWorker worker([&](int kind) { return gate.compose(kind); });
	auto slot = std::make_unique<FrameSlot>(false);
	renderPass(*slot, worker, 1, false);
	gate.waitStarted(1);

	std::atomic<bool> renderDoneWhenForgotten{false};
	std::thread destroyer([&] {
		worker.forget(slot.get());
		renderDoneWhenForgotten = gate.hasFinished();
	});
	gate.release();
	destroyer.join();
	EXPECT_TRUE(renderDoneWhenForgotten.load());
	// The frame was handed over before forget returned; nothing touches the slot now.
	EXPECT_TRUE(slot->take().frame.has_value());
	slot.reset();
}

TEST(RenderWorkerThreads, StopsWithWorkStillQueued)
{
	Gate gate;
	std::vector<std::unique_ptr<FrameSlot>> slots;
	{
		RenderWorker worker([&](int kind) { return gate.compose(kind); });
		for (int i = 0; i < 5; ++i) {
			slots.push_back(std::make_unique<FrameSlot>(false));
			renderPass(*slots.back(), worker, 1, false);
		}
		gate.waitStarted(1);
		worker.requestStop();
		gate.release();
		// Leaving the scope joins the worker once the render in progress ends.
	}
	EXPECT_TRUE(slots.front()->take().frame.has_value());
	for (size_t i = 1; i < slots.size(); ++i)
		EXPECT_FALSE(slots[i]->take().frame.has_value()) << "queued render " << i << " was not dropped";
}

TEST(RenderWorkerThreads, AFailedRenderKeepsTheLastFrameUntilTheNextRevision)
{
	LogCapture log;
	std::atomic<bool> failing{false};
	std::atomic<int> renders{0};
	RenderWorker worker([&](int kind) {
		++renders;
		if (failing && kind == KindStandby)
			throw std::bad_alloc();
		return kindFrame(kind);
	});
	FrameSlot slot(false);
	waitForFrame(slot, worker, 1, false);

	failing = true;
	for (int revision = 2; revision <= 3; ++revision) {
		EXPECT_FALSE(renderPass(slot, worker, revision, true).has_value());
		settle(worker, slot, renders, revision);
		EXPECT_FALSE(slot.take().frame.has_value()) << "the texture keeps the last frame";
	}
	EXPECT_EQ(log.count("[curtainup] could not compose a countdown frame (std::bad_alloc)"), 1);
	// Not retried at every frame, even by a source with nothing to draw yet; a break
	// source queued behind any such retry gets its frame once the retry is done.
	for (int pass = 0; pass < 50; ++pass)
		EXPECT_FALSE(renderPass(slot, worker, 3, false).has_value());
	FrameSlot probe(true);
	waitForFrame(probe, worker, 3, false);
	worker.forget(&probe);
	EXPECT_EQ(renders.load(), 4);

	failing = false;
	EXPECT_EQ(kindOfFrame(waitForFrame(slot, worker, 4, true)), KindStandby);
	worker.forget(&slot);
}

TEST(RenderWorkerThreads, ManySourcesCreatedUpdatedAndDestroyedWhileFramesRender)
{
	struct Source {
		FrameSlot slot;
		bool hasPicture = false;
		bool isBreak = false;
	};
	// Frames large enough to take a moment, so that renders overlap the churn.
	RenderWorker worker([](int kind) { return kindFrame(kind, 256); });
	std::mutex sourcesMutex; // the host never renders and destroys one source at once
	std::vector<std::unique_ptr<Source>> sources;
	std::atomic<uint64_t> revision{1};
	std::atomic<bool> churning{true};
	std::atomic<int> destroyed{0};

	std::thread graphics([&] {
		for (int pass = 0; pass < 2000 || churning.load(); ++pass) {
			{
				std::lock_guard<std::mutex> lock(sourcesMutex);
				for (auto &source : sources) {
					const std::optional<UploadFrame> frame =
						renderPass(source->slot, worker, revision.load(), source->hasPicture);
					source->hasPicture = source->hasPicture || frame.has_value();
				}
			}
			std::this_thread::yield();
		}
	});

	std::mt19937 random(4);
	for (int step = 0; step < 5000; ++step) {
		revision.fetch_add(1); // the show moves on as the sources come and go
		const unsigned action = random() % 4;
		std::unique_ptr<Source> doomed;
		{
			std::lock_guard<std::mutex> lock(sourcesMutex);
			if (action == 0 || sources.size() < 4) {
				sources.push_back(std::make_unique<Source>());
			} else if (action == 1) {
				Source &source = *sources[random() % sources.size()];
				source.isBreak = !source.isBreak;
				source.slot.setKind(source.isBreak);
			} else if (action == 2) {
				const size_t index = random() % sources.size();
				doomed = std::move(sources[index]);
				sources.erase(sources.begin() + long(index));
			}
		}
		if (doomed) {
			// destroy: the worker lets go of it before it is freed.
			worker.forget(&doomed->slot);
			doomed.reset();
			++destroyed;
		}
		std::this_thread::yield();
	}
	churning = false;
	graphics.join();
	EXPECT_GT(destroyed.load(), 100);

	// Every remaining source gets a frame of its current kind.
	for (auto &source : sources) {
		const uint64_t now = revision.fetch_add(1) + 1;
		UploadFrame frame = waitForFrame(source->slot, worker, now, source->hasPicture);
		// A render queued before the last kind change may arrive first.
		while (kindOfFrame(frame) != (source->isBreak ? KindBreak : KindStandby))
			frame = waitForFrame(source->slot, worker, now, true);
		worker.forget(&source->slot);
	}
}

TEST(RenderWorkerThreads, ProcessWorkerDrawsTheSharedShowState)
{
	Preset preset;
	preset.style.font = QStringLiteral("DejaVu Sans");
	preset.style.size = 60;
	preset.title = QStringLiteral("Soon");
	preset.break_text = QStringLiteral("Break");
	showPreset(showState(), preset);

	FrameSlot slot(true);
	const UploadFrame frame = waitForFrame(slot, renderWorker(), showState().revision(), false);
	renderWorker().forget(&slot);
	EXPECT_EQ(frame.size, showState().naturalSize(KindBreak));
	EXPECT_EQ(frame.size, measureFrame(showState().snapshot().preset, nullptr, KindBreak));
	const UploadLayer &row = frame.layers[LayerCentre];
	EXPECT_EQ(row.image.format(), QImage::Format_ARGB32);
	EXPECT_EQ(row.image.size(), row.ink.size()) << "cut to its ink";
	EXPECT_TRUE(QRect(QPoint(1, 1), frame.size - QSize(2, 2)).contains(row.ink)) << "a see-through margin";
	EXPECT_TRUE(frame.layers[LayerStill].image.isNull() && frame.layers[LayerMessage].image.isNull());
	bool opaque = false;
	for (int y = 0; y < row.image.height() && !opaque; ++y) {
		for (int x = 0; x < row.image.width() && !opaque; ++x)
			opaque = qAlpha(row.image.pixel(x, y)) == 255;
	}
	EXPECT_TRUE(opaque);
}

TEST(RenderWorkerThreads, FramesKeepTheTextsOfTheAppliedPresetWhenTheLocaleGoes)
{
	Preset preset;
	preset.style.font = QStringLiteral("DejaVu Sans");
	preset.style.size = 60;
	preset.style.time_format = 1; // unit words as well as the time-left words
	showPreset(showState(), preset);
	// A maker of its own for each frame: the process worker's would not draw the same
	// picture twice.
	RenderWorker worker([](int kind) { return UploadFrameMaker(kind).make(showState().snapshot()); });
	FrameSlot slot(true);
	const UploadFrame english = waitForFrame(slot, worker, showState().revision(), false);

	// The host replaces the module's locale on its UI thread; the render thread keeps
	// drawing the texts taken when the preset was applied.
	setModuleLookupForTesting(nullptr);
	const UploadFrame later = waitForFrame(slot, worker, showState().revision() + 1, true);
	useEnglishTexts();
	worker.forget(&slot);
	EXPECT_EQ(later.layers[LayerCentre].image, english.layers[LayerCentre].image);
	EXPECT_NE(later.layers[LayerCentre].version, english.layers[LayerCentre].version) << "drawn again";
}
