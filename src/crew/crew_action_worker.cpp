#include "crew/crew_action_worker.h"

#include <pthread.h>

CrewActionWorker::CrewActionWorker() : thread([this] { loop(); }) {}

CrewActionWorker::~CrewActionWorker()
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		stopping = true;
		jobs.clear();
	}
	wake.notify_all();
	thread.join();
}

bool CrewActionWorker::submit(std::function<void()> job)
{
	{
		std::lock_guard<std::mutex> lock(mutex);
		if (stopping || jobs.size() >= maxQueued)
			return false;
		jobs.push_back(std::move(job));
	}
	wake.notify_one();
	return true;
}

void CrewActionWorker::loop()
{
	pthread_setname_np(pthread_self(), "curtainup-crewact");
	std::unique_lock<std::mutex> lock(mutex);
	for (;;) {
		wake.wait(lock, [this] { return stopping || !jobs.empty(); });
		if (stopping)
			return;
		std::function<void()> job = std::move(jobs.front());
		jobs.pop_front();
		lock.unlock();
		job();
		job = nullptr; // what it holds goes here, off the lock
		lock.lock();
	}
}
