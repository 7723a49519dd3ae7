#include "base/ui_handoff.h"

#include <obs.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>

namespace {

// How long closing waits for work that was handed over but has not reached the queue yet.
constexpr qint64 drainLimitMs = 2000;

void postToHostUi(void (*task)(void *), void *param)
{
	obs_queue_task(OBS_TASK_UI, task, param, true);
}

} // namespace

struct UiHandOff::Job {
	UiHandOff *self;
	const std::function<void()> *work;
	bool ran;
};

UiHandOff::UiHandOff(Post post_) : post(post_ ? std::move(post_) : Post(postToHostUi)) {}

bool UiHandOff::isClosed()
{
	std::lock_guard<std::mutex> lock(mutex);
	return closed;
}

void UiHandOff::runJob(void *param)
{
	Job *job = static_cast<Job *>(param);
	if (job->self->isClosed())
		return;
	(*job->work)();
	job->ran = true;
}

bool UiHandOff::run(const std::function<void()> &work)
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		if (closed)
			return false;
		++inFlight;
	}
	Job job{this, &work, false};
	post(runJob, &job);
	std::lock_guard<std::mutex> lock(mutex);
	--inFlight;
	return job.ran;
}

void UiHandOff::close()
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		closed = true;
	}
	// The host queues UI tasks as queued calls to the application object; delivering them
	// here lets the waiting callers go before the host stops its event loop.
	QElapsedTimer waited;
	waited.start();
	for (;;) {
		{
			std::lock_guard<std::mutex> lock(mutex);
			if (inFlight == 0 || waited.elapsed() > drainLimitMs)
				return;
		}
		QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
		QThread::msleep(1);
	}
}
