#include "base/clock.h"

#include <QDateTime>

#include <atomic>
#include <chrono>

namespace {

class SystemClock final : public Clock {
public:
	int64_t monotonicMs() const override
	{
		using namespace std::chrono;
		return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
	}
	int64_t wallMs() const override { return QDateTime::currentMSecsSinceEpoch(); }
};

const SystemClock systemClock;
std::atomic<const Clock *> installedClock{nullptr};

} // namespace

const Clock &activeClock()
{
	const Clock *clock = installedClock.load();
	return clock ? *clock : systemClock;
}

void setActiveClock(const Clock *clock)
{
	installedClock.store(clock);
}
