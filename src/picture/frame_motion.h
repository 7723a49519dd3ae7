#pragma once

#include <cstdint>

// How the time row moves in the last ten seconds: lifted by a share of the row height,
// then scaled about its anchor.
struct RowMotion {
	double liftShare = 0; // of the row height, upwards
	double scale = 1;
};

// The motion of the time row for "last_ten" (1 grow, 2 bounce). `counting` is false once
// zero has been reached; the grown time then stays grown.
RowMotion lastTenMotion(int lastTen, int phase, bool counting, int64_t remainingMs);
// The most that motion ever lifts and scales the row: the room the layout keeps for it.
RowMotion lastTenRoom(int lastTen);

// 1 + 2.70158 u^3 + 1.70158 u^2 with u = t - 1, t clamped to 0..1: overshoots, then settles.
double easeOutBack(double t);
// The size of the end text `sinceZeroMs` after zero: a pop from 0.7 to full size in 500 ms.
double endPopScale(int64_t sinceZeroMs);
