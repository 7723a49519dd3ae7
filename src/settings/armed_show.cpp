#include "settings/armed_show.h"

#include "base/data_fields.h"
#include "settings/kept_record.h"
#include "settings/preset.h"

#include <limits>

bool ArmedShow::operator==(const ArmedShow &other) const
{
	return active == other.active && goLiveAtWallMs == other.goLiveAtWallMs && showAtWallMs == other.showAtWallMs &&
	       held == other.held && holdReason == other.holdReason;
}

obs_data_t *armedShowToData(const ArmedShow &show)
{
	obs_data_t *object = obs_data_create();
	obs_data_set_int(object, "go_live_at", show.goLiveAtWallMs);
	obs_data_set_int(object, "show_at", show.showAtWallMs);
	obs_data_set_bool(object, "held", show.held);
	obs_data_set_string(object, "hold_reason", show.holdReason.toUtf8().constData());
	obs_data_set_int(object, "written_at", show.writtenAtWallMs);
	return object;
}

bool armedShowFromData(obs_data_t *object, ArmedShow &show, QString &error)
{
	constexpr int64_t most = std::numeric_limits<int64_t>::max();
	DataFields fields(object);
	const std::optional<int64_t> goLiveAt = fields.integer("go_live_at", 1, most);
	const std::optional<int64_t> showAt = fields.integer("show_at", 1, most);
	const std::optional<int64_t> writtenAt = fields.integer("written_at", 0, most, DataFields::Optional);
	const std::optional<bool> held = fields.boolean("held", DataFields::Optional);
	const QString holdReason = fields.text("hold_reason", DataFields::Optional);
	if (!fields.ok()) {
		error = fields.error();
		return false;
	}
	if (*goLiveAt > *showAt) {
		error = QStringLiteral("'go_live_at' lies after 'show_at'.");
		return false;
	}
	show.active = true;
	show.goLiveAtWallMs = *goLiveAt;
	show.showAtWallMs = *showAt;
	show.writtenAtWallMs = writtenAt.value_or(0);
	show.held = held.value_or(false);
	show.holdReason = show.held ? holdReason : QString();
	return true;
}

QString armingTimesRefusal(int64_t goLiveAtWallMs, int64_t showAtWallMs, int64_t nowWallMs)
{
	constexpr int64_t mostAheadMs = 7 * 86400000LL;
	if (showAtWallMs <= nowWallMs)
		return QStringLiteral("The show time has passed.");
	if (showAtWallMs - nowWallMs > mostAheadMs)
		return QStringLiteral("The show time is more than 7 days ahead.");
	const int64_t leadMs = showAtWallMs - goLiveAtWallMs;
	if (leadMs < 0 || leadMs > int64_t(PresetBounds::maxGoLiveLeadS) * 1000)
		return QStringLiteral("The go-live lies more than %1 s before the show time.").arg(PresetBounds::maxGoLiveLeadS);
	return QString();
}

ArmedRestart armedRestartCase(const ArmedShow &show, int64_t nowWallMs)
{
	if (nowWallMs < show.goLiveAtWallMs)
		return ArmedRestart::StaysArmed;
	return nowWallMs < show.showAtWallMs ? ArmedRestart::GoesLiveNow : ArmedRestart::Missed;
}

namespace {
KeptRecord<ArmedShow> keptArming("armed_show", "armed show", armedShowFromData, armedShowToData);
} // namespace

const ArmedShow &storedArmedShow()
{
	return keptArming.stored();
}

void storeArmedShow(const ArmedShow &show)
{
	keptArming.store(show);
}

void readArmedShow(obs_data_t *config)
{
	keptArming.read(config);
}

void writeArmedShow(obs_data_t *config)
{
	keptArming.write(config);
}
