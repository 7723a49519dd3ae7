#include "base/ui_handoff.h"

#include <obs.h>

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <condition_variable>

namespace {

void postToHostUi(void (*task)(void *), void *param)
{
	obs_queue_task(OBS_TASK_UI, task, param, false);
}

bool onUiThread()
{
	const QCoreApplication *application = QCoreApplication::instance();
	return application && QThread::currentThread() == application->thread();
}

} // namespace

// Shared by the caller and the queued task; whichever comes second frees it.
struct UiHandOff::Job {
	enum State { Waiting, Running, Finished, Dropped };

	std::mutex mutex;
	std::condition_variable changed;
	State state = Waiting;
	const std::function<void()> *work; // the caller's; read only while the caller waits
};

UiHandOff::UiHandOff(Post post_, std::chrono::milliseconds bound_)
    : post(post_ ? std::move(post_) : Post(postToHostUi)), bound(bound_)
{
}

void UiHandOff::runJob(void *param)
{
	const std::unique_ptr<std::shared_ptr<Job>> owned(static_cast<std::shared_ptr<Job> *>(param));
	Job &job = **owned;
	{
		std::lock_guard<std::mutex> lock(job.mutex);
		if (job.state != Job::Waiting)
			return; // its caller gave up, or the hand-off closed
		job.state = Job::Running;
	}
	(*job.work)();
	{
		std::lock_guard<std::mutex> lock(job.mutex);
		job.state = Job::Finished;
	}
	job.changed.notify_all();
}

UiHandOff::Outcome UiHandOff::run(const std::function<void()> &work)
{
	auto job = std::make_shared<Job>();
	job->work = &work;
	const bool here = onUiThread();
	{
		std::lock_guard<std::mutex> lock(mutex);
		if (closed)
			return Outcome::Closed;
		if (!here)
			waiting.push_back(job);
	}
	if (here) {
		work();
		return Outcome::Ran;
	}
	post(runJob, new std::shared_ptr<Job>(job));

	Outcome outcome = Outcome::Ran;
	{
		std::unique_lock<std::mutex> lock(job->mutex);
		if (!job->changed.wait_for(lock, bound, [&] { return job->state != Job::Waiting; })) {
			job->state = Job::Dropped;
			outcome = Outcome::TimedOut;
		} else {
			// Work the UI thread has begun is waited for to its end.
			job->changed.wait(lock, [&] { return job->state != Job::Running; });
			if (job->state == Job::Dropped)
				outcome = Outcome::Closed;
		}
	}
	std::lock_guard<std::mutex> lock(mutex);
	waiting.erase(std::remove(waiting.begin(), waiting.end(), job), waiting.end());
	return outcome;
}

void UiHandOff::close()
{
	std::vector<std::shared_ptr<Job>> dropped;
	{
		std::lock_guard<std::mutex> lock(mutex);
		closed = true;
		dropped = waiting;
	}
	for (const std::shared_ptr<Job> &job : dropped) {
		{
			std::lock_guard<std::mutex> lock(job->mutex);
			if (job->state == Job::Waiting)
				job->state = Job::Dropped;
		}
		job->changed.notify_all();
	}
}
