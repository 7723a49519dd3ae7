// Handing work from other threads to the UI thread with a bounded wait: what a stalled UI
// thread never ran is dropped, and closing wakes only the hand-off's own callers.
#include "base/ui_handoff.h"

#include "ui_task_queue.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Outcome = UiHandOff::Outcome;
using namespace std::chrono_literals;

// As the host does it: queued for the UI thread, returning at once. The test's queue has
// a plain mutex that ThreadSanitizer sees through.
void queuedPost(void (*task)(void *), void *param)
{
	queueUiTask(task, param);
}

// Serves the UI thread's queue until `wanted` callers are done or half a minute passes.
bool serveUntil(const std::atomic<int> &done, int wanted)
{
	QElapsedTimer waited;
	waited.start();
	while (done < wanted && waited.elapsed() < 30000) {
		runQueuedUiTasks();
		QThread::msleep(1);
	}
	return done == wanted;
}

// Several callers at once, each with its own work that counts how often it ran.
struct Callers {
	static constexpr int count = 6;
	std::atomic<int> done{0};
	std::atomic<int> ran[count] = {};
	Outcome outcomes[count] = {};
	std::vector<std::thread> threads;

	void start(UiHandOff &handOff)
	{
		for (int i = 0; i < count; ++i)
			threads.emplace_back([this, i, &handOff] {
				outcomes[i] = handOff.run([this, i] { ++ran[i]; });
				++done;
			});
	}
	void join()
	{
		for (std::thread &thread : threads)
			thread.join();
		threads.clear();
	}
};

} // namespace

TEST(UiHandOffThreads, AStalledUiThreadDropsTheWorkAndARunningOneDoesItOnce)
{
	// A short bound where the wait is meant to run out, a long one where it is not, so a
	// loaded machine changes neither outcome.
	UiHandOff handOff(queuedPost, 100ms);
	UiHandOff patient(queuedPost, 60s);
	Callers stalled;
	stalled.start(handOff);
	// The UI thread does not serve: every caller gives up after its bound.
	while (stalled.done < Callers::count)
		QThread::msleep(5);
	stalled.join();
	runQueuedUiTasks(); // the queued tasks come now, too late
	for (int i = 0; i < Callers::count; ++i) {
		EXPECT_EQ(stalled.outcomes[i], Outcome::TimedOut);
		EXPECT_EQ(stalled.ran[i], 0) << "work given up on never runs later";
	}

	Callers served;
	served.start(patient);
	EXPECT_TRUE(serveUntil(served.done, Callers::count));
	served.join();
	for (int i = 0; i < Callers::count; ++i) {
		EXPECT_EQ(served.outcomes[i], Outcome::Ran);
		EXPECT_EQ(served.ran[i], 1);
	}
}

TEST(UiHandOffThreads, ClosingWakesTheWaitingCallersWithoutTheirWork)
{
	UiHandOff handOff(queuedPost, 10s);
	Callers waiting;
	waiting.start(handOff);
	QThread::msleep(50);
	handOff.close(); // the host exits: its event loop will not serve the queue again
	QElapsedTimer waited;
	waited.start();
	while (waiting.done < Callers::count && waited.elapsed() < 2000)
		QThread::msleep(1);
	EXPECT_EQ(waiting.done, Callers::count) << "a caller is still blocked after close()";
	waiting.join();
	runQueuedUiTasks();
	for (int i = 0; i < Callers::count; ++i) {
		EXPECT_EQ(waiting.outcomes[i], Outcome::Closed);
		EXPECT_EQ(waiting.ran[i], 0);
	}
	bool ran = false;
	EXPECT_EQ(handOff.run([&] { ran = true; }), Outcome::Closed) << "nothing is taken once closed";
	EXPECT_FALSE(ran);
}

TEST(UiHandOff, OnTheUiThreadTheWorkRunsAtOnce)
{
	UiHandOff handOff([](void (*)(void *), void *) { FAIL() << "nothing is queued"; });
	bool ran = false;
	EXPECT_EQ(handOff.run([&] { ran = true; }), Outcome::Ran);
	EXPECT_TRUE(ran);
}
