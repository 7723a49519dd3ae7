#include "director/arming.h"

#include "settings/armed_show.h"
#include "settings/preset.h"
#include "show/show_state.h"

#include <QDateTime>

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
	const int64_t goLiveAt = showAt - request.leadMs.value_or(int64_t(preset.go_live_lead_s) * 1000);
	plan.refusal = armingTimesRefusal(goLiveAt, showAt, nowWallMs);
	if (plan.refusal.isEmpty()) {
		plan.showAtWallMs = showAt;
		plan.goLiveAtWallMs = goLiveAt;
	}
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
