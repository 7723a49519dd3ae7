// Handing work from another thread to the UI thread and waiting for it, and letting a
// waiting caller go when the host exits.
#include "base/ui_handoff.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// As the host does it: a queued call to the application object, the caller blocked until
// it has run. `posted` tells the test that the caller is waiting.
UiHandOff::Post blockingPost(std::atomic<bool> &posted)
{
	return [&posted](void (*task)(void *), void *param) {
		posted = true;
		QMetaObject::invokeMethod(
			QCoreApplication::instance(), [task, param] { task(param); }, Qt::BlockingQueuedConnection);
	};
}

// Serves the UI thread's queue until the flag is set or two seconds pass.
bool serveUntil(const std::atomic<bool> &flag)
{
	QElapsedTimer waited;
	waited.start();
	while (!flag && waited.elapsed() < 2000) {
		QCoreApplication::processEvents();
		QThread::msleep(1);
	}
	return flag;
}

} // namespace

TEST(UiHandOff, TheWorkRunsOnTheUiThreadWhileTheCallerWaits)
{
	std::atomic<bool> posted{false};
	std::atomic<bool> done{false};
	UiHandOff handOff(blockingPost(posted));
	std::thread::id ranOn;
	bool ran = false;
	std::thread caller([&] {
		ran = handOff.run([&] { ranOn = std::this_thread::get_id(); });
		done = true;
	});
	EXPECT_TRUE(serveUntil(done));
	caller.join();
	EXPECT_TRUE(ran);
	EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(UiHandOff, ClosingLetsAWaitingCallerGoWithoutItsWork)
{
	std::atomic<bool> posted{false};
	std::atomic<bool> done{false};
	UiHandOff handOff(blockingPost(posted));
	bool ran = true;
	bool workRan = false;
	std::thread caller([&] {
		ran = handOff.run([&] { workRan = true; });
		done = true;
	});
	while (!posted)
		QThread::msleep(1);

	handOff.close(); // the host exits: its event loop will not serve the queue again
	QElapsedTimer waited;
	waited.start();
	while (!done && waited.elapsed() < 1000)
		QThread::msleep(1);
	EXPECT_TRUE(done) << "the caller is still blocked after close()";
	serveUntil(done); // so a failure does not hang the run
	caller.join();
	EXPECT_FALSE(ran);
	EXPECT_FALSE(workRan);
	EXPECT_FALSE(handOff.run([&] { workRan = true; })) << "nothing is taken once closed";
	EXPECT_FALSE(workRan);
}
