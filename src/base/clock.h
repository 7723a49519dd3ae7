#pragma once

#include <cstdint>

// The two clocks of the show: a monotonic one for every deadline and the wall clock for
// the clock time an until-time countdown aims at. Tests swap in their own.
class Clock {
public:
	virtual ~Clock() = default;
	virtual int64_t monotonicMs() const = 0;
	virtual int64_t wallMs() const = 0;
};

// The clock in use: the system's unless a test installed another.
const Clock &activeClock();
// Installs a clock (null: back to the system clock). The caller keeps it alive.
void setActiveClock(const Clock *clock);

inline int64_t monotonicNowMs()
{
	return activeClock().monotonicMs();
}

inline int64_t wallNowMs()
{
	return activeClock().wallMs();
}
