#include "director/fade_curve.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float floorDb = -60.0f;
}

float fadeVolume(float startVolume, float progress)
{
	const float startDb = 20.0f * std::log10(startVolume);
	const float db = startDb + (floorDb - startDb) * progress;
	if (!std::isfinite(db))
		return 0.0f;
	return std::min(std::pow(10.0f, db / 20.0f), startVolume);
}
