#include "settings/running_show.h"

#include "base/clock.h"
#include "base/data_fields.h"
#include "base/module_host.h"
#include "settings/config.h"
#include "settings/kept_record.h"
#include "settings/preset.h"

#include <obs.hpp>

#include <limits>

namespace {

constexpr char standbyName[] = "standby";
constexpr char breakName[] = "break";
constexpr int64_t dayMs = 86400000;

} // namespace

bool RunningShow::operator==(const RunningShow &other) const
{
	return active == other.active && phase == other.phase && endsAtWallMs == other.endsAtWallMs &&
	       held == other.held && holdReason == other.holdReason && returnScene == other.returnScene;
}

obs_data_t *runningShowToData(const RunningShow &show)
{
	obs_data_t *object = obs_data_create();
	obs_data_set_string(object, "phase", show.phase == RunningPhase::Break ? breakName : standbyName);
	obs_data_set_int(object, "ends_at", show.endsAtWallMs);
	obs_data_set_bool(object, "held", show.held);
	obs_data_set_string(object, "hold_reason", show.holdReason.toUtf8().constData());
	obs_data_set_string(object, "return_scene", show.returnScene.toUtf8().constData());
	obs_data_set_int(object, "written_at", show.writtenAtWallMs);
	return object;
}

bool runningShowFromData(obs_data_t *object, RunningShow &show, QString &error)
{
	DataFields fields(object);
	const QString phase = fields.text("phase");
	const std::optional<int64_t> endsAt = fields.integer("ends_at", 1, std::numeric_limits<int64_t>::max());
	const std::optional<bool> held = fields.boolean("held", DataFields::Optional);
	const std::optional<int64_t> writtenAt =
		fields.integer("written_at", 0, std::numeric_limits<int64_t>::max(), DataFields::Optional);
	RunningShow read;
	read.holdReason = fields.text("hold_reason", DataFields::Optional);
	read.returnScene = fields.text("return_scene", DataFields::Optional);
	if (!fields.ok()) {
		error = fields.error();
		return false;
	}
	if (phase != QLatin1String(standbyName) && phase != QLatin1String(breakName)) {
		error = QStringLiteral("'phase' must be \"standby\" or \"break\".");
		return false;
	}
	read.active = true;
	read.phase = phase == QLatin1String(breakName) ? RunningPhase::Break : RunningPhase::Standby;
	read.endsAtWallMs = *endsAt;
	read.held = held.value_or(false);
	read.writtenAtWallMs = writtenAt.value_or(0);
	show = read;
	return true;
}

namespace {
KeptRecord<RunningShow> keptRunning("running_show", "running show", runningShowFromData, runningShowToData);
} // namespace

RestartCase restartCase(const RunningShow &show, int64_t nowWallMs)
{
	if (show.writtenAtWallMs > nowWallMs)
		return RestartCase::WrittenInFuture;
	const int64_t left = show.endsAtWallMs - nowWallMs;
	if (left > PresetBounds::maxCountMs)
		return RestartCase::TooFarAhead;
	if (left > 0)
		return RestartCase::GoesOn;
	return -left > dayMs ? RestartCase::DaysOld : RestartCase::EndedWhileClosed;
}

const RunningShow &storedRunningShow()
{
	return keptRunning.stored();
}

void storeRunningShow(const RunningShow &show)
{
	keptRunning.store(show);
}

void readRunningShow(obs_data_t *config)
{
	keptRunning.read(config);
}

void writeRunningShow(obs_data_t *config)
{
	keptRunning.write(config);
}
