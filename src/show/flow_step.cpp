#include "show/flow_step.h"

const char *stepName(int step)
{
	switch (step) {
	case StepAfterZero:
		return "after_zero";
	case StepOp:
		return "op";
	case StepOpNoMedia:
		return "op_no_media";
	case StepGoingMain:
		return "going_main";
	case StepBackFromBreak:
		return "back_from_break";
	case StepEnding:
		return "ending";
	default:
		return "none";
	}
}
