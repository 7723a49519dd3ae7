#pragma once

// Where the automatic flow stands; the names are what `curtainup_get_flow` reports.
enum Step : int {
	StepNone = 0,
	StepAfterZero = 1,
	StepOp = 2,
	StepOpNoMedia = 3,
	StepGoingMain = 4,
	StepBackFromBreak = 5,
	StepEnding = 6,
};

// Any value outside the enum reads "none".
const char *stepName(int step);

// Locale keys naming where a hold caught the flow.
namespace HoldLocation {
constexpr const char *BeforeStart = "Hold.Location.BeforeStart";
constexpr const char *Countdown = "Hold.Location.Countdown";
constexpr const char *AfterZero = "Hold.Location.AfterZero";
constexpr const char *Op = "Hold.Location.Op";
constexpr const char *OpNoMedia = "Hold.Location.OpNoMedia";
constexpr const char *OpEnd = "Hold.Location.OpEnd";
constexpr const char *Main = "Hold.Location.Main";
constexpr const char *Break = "Hold.Location.Break";
constexpr const char *Ending = "Hold.Location.Ending";
constexpr const char *GoLive = "Hold.Location.GoLive";
constexpr const char *Other = "Hold.Location.Other";
} // namespace HoldLocation
