#pragma once

#include "base/clock.h"

#include <atomic>

// A clock the test moves by hand. Installed for the lifetime of the object.
class FakeClock final : public Clock {
public:
	explicit FakeClock(int64_t mono = 1000000, int64_t wall = 1767268800000 /* 2026-01-01 12:00 UTC */)
	    : mono_(mono), wall_(wall)
	{
		setActiveClock(this);
	}
	~FakeClock() override { setActiveClock(nullptr); }
	FakeClock(const FakeClock &) = delete;
	FakeClock &operator=(const FakeClock &) = delete;

	int64_t monotonicMs() const override { return mono_.load(); }
	int64_t wallMs() const override { return wall_.load(); }

	// Time passes on both clocks.
	void advance(int64_t ms)
	{
		mono_ += ms;
		wall_ += ms;
	}
	// Someone sets the wall clock; monotonic time does not move.
	void jumpWall(int64_t ms) { wall_ += ms; }
	void setWall(int64_t wall) { wall_ = wall; }

private:
	std::atomic<int64_t> mono_;
	std::atomic<int64_t> wall_;
};
