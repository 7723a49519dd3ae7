#include "director/arming.h"

#include "settings/preset.h"
#include "show/show_state.h"

#include <QDateTime>

namespace {
constexpr int64_t mostAheadMs = 7 * 86400000LL;
} // namespace

ArmPlan planArming(const Preset &preset, const ArmRequest &request, int64_t nowWallMs, bool showRunning, bool armed)
{
	ArmPlan plan;
	if (armed) {
		plan.refusal = QStringLiteral("Already armed; disarm first.");
		return plan;
	}
	if (showRunning) {
		plan.refusal = QStringLiteral("A show is running.");
		return plan;
	}
	if (!request.showAtWallMs && preset.count_mode != 0) {
		plan.refusal = QStringLiteral("A for-length preset needs 'at_ms', the show time.");
		return plan;
	}
	const int64_t showAt =
		request.showAtWallMs ? *request.showAtWallMs : nextTargetAfter(nowWallMs, preset.target_minutes);
	if (showAt <= nowWallMs) {
		plan.refusal = QStringLiteral("The show time has passed.");
		return plan;
	}
	if (showAt - nowWallMs > mostAheadMs) {
		plan.refusal = QStringLiteral("The show time is more than 7 days ahead.");
		return plan;
	}
	plan.showAtWallMs = showAt;
	plan.goLiveAtWallMs = showAt - request.leadMs.value_or(int64_t(preset.go_live_lead_s) * 1000);
	return plan;
}

QByteArray logClockTime(int64_t wallMs)
{
	return QDateTime::fromMSecsSinceEpoch(wallMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
}

QString shortClockTime(int64_t wallMs, int64_t nowWallMs)
{
	const QDateTime when = QDateTime::fromMSecsSinceEpoch(wallMs);
	const bool today = when.date() == QDateTime::fromMSecsSinceEpoch(nowWallMs).date();
	return when.toString(today ? QStringLiteral("HH:mm") : QStringLiteral("MM-dd HH:mm"));
}
