// The operator's extra time on a running countdown (dock, hotkeys, remote requests).
#include "director/director.h"

#include "base/module_host.h"
#include "show/show_state.h"

namespace {
constexpr int64_t minuteMs = 60000;
}

int64_t Director::addTime(int64_t ms)
{
	operatorActed();
	const int64_t left = showState().addTime(ms);
	if (left >= 0)
		moduleLog(LOG_INFO, "%lld ms added to the countdown; %lld s left", static_cast<long long>(ms),
			  static_cast<long long>((left + 999) / 1000));
	return left;
}

void Director::addMinute()
{
	addTime(minuteMs);
}

void Director::removeMinute()
{
	addTime(-minuteMs);
}
