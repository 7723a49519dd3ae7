#pragma once

// The music fade is even in decibels: from the start volume down to -60 dB as progress
// goes from 0 to 1. Linear volumes in and out; never louder than the start.
float fadeVolume(float startVolume, float progress);
