#include "picture/frame_motion.h"

#include "show/show_state.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double grownScale = 1.3;
constexpr double bounceSwell = 0.06;
constexpr double bounceLift = 0.3;
constexpr double hopShare = 0.4; // of each second
constexpr double pi = 3.14159265358979323846;
} // namespace

RowMotion lastTenMotion(int lastTen, int phase, bool counting, int64_t remainingMs)
{
	RowMotion motion;
	if (!counting) {
		if (lastTen == 1)
			motion.scale = grownScale;
		return motion;
	}
	if (phase != PhaseStandby || remainingMs < 1 || remainingMs > 10000)
		return motion;
	if (lastTen == 1) {
		const double p = std::clamp(1.0 - remainingMs / 10000.0, 0.0, 1.0);
		motion.scale = 1 + (grownScale - 1) * p;
	} else if (lastTen == 2) {
		const double u = double((1000 - remainingMs % 1000) % 1000) / 1000;
		const double v = u < hopShare ? std::sin(u * pi / hopShare) : 0;
		motion.liftShare = v * bounceLift;
		motion.scale = 1 + v * bounceSwell;
	}
	return motion;
}

RowMotion lastTenRoom(int lastTen)
{
	RowMotion room;
	if (lastTen == 1) {
		room.scale = grownScale;
	} else if (lastTen == 2) {
		room.liftShare = bounceLift;
		room.scale = 1 + bounceSwell;
	}
	return room;
}

double easeOutBack(double t)
{
	const double u = std::clamp(t, 0.0, 1.0) - 1;
	return 1 + 2.70158 * u * u * u + 1.70158 * u * u;
}

double endPopScale(int64_t sinceZeroMs)
{
	if (sinceZeroMs < 0 || sinceZeroMs > 499)
		return 1;
	return 0.7 + 0.3 * easeOutBack(sinceZeroMs / 500.0);
}
