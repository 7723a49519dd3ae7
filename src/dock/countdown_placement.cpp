#include "dock/countdown_placement.h"

#include "base/module_host.h"
#include "dock/dock_host.h"
#include "settings/preset_store.h"

#include <algorithm>
#include "show/show_state.h"

namespace {

constexpr int lastNumberedName = 999;

// The base name, or the first "<base> <n>" that no source has yet.
QString freeSourceName(DockHost &host, const QString &base)
{
	QString candidate = base;
	for (int n = 2; n <= lastNumberedName; ++n) {
		if (!host.sourceExists(candidate))
			break;
		candidate = QStringLiteral("%1 %2").arg(base, QString::number(n));
	}
	return candidate;
}

QString targetScene(DockHost &host, int kind)
{
	const Preset &preset = currentPreset();
	const QString stored = kind == KindBreak ? preset.break_scene : preset.standby_scene;
	if (!stored.isEmpty() && host.isScene(stored))
		return stored;
	return host.currentEditingScene();
}

} // namespace

QString findCountdownSource(DockHost &host, int kind)
{
	for (const DockSourceInfo &source : host.sources()) {
		if (source.id == QLatin1String(countdownSourceId) && source.countdownKind == kind)
			return source.name;
	}
	return QString();
}

void addCountdownToScene(DockHost &host, int kind)
{
	const QString scene = targetScene(host, kind);
	if (scene.isEmpty())
		return;
	QString source = findCountdownSource(host, kind);
	const bool create = source.isEmpty();
	if (create)
		source =
			freeSourceName(host, moduleText(kind == KindBreak ? "Source.BreakName" : "Source.StandbyName"));
	if (host.placeInScene(scene, source, create, kind) == PlaceResult::Added)
		moduleLog(LOG_INFO, "added '%s' to scene '%s'", source.toUtf8().constData(),
			  scene.toUtf8().constData());
}

double scaleToFit(const QSize &picture, const QSize &canvas)
{
	if (picture.isEmpty() || canvas.isEmpty())
		return 1.0;
	return std::min({1.0, double(canvas.width()) / picture.width(), double(canvas.height()) / picture.height()});
}
