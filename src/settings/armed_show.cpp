#include "settings/armed_show.h"

#include "base/data_fields.h"
#include "settings/kept_record.h"

#include <limits>

bool ArmedShow::operator==(const ArmedShow &other) const
{
	return active == other.active && goLiveAtWallMs == other.goLiveAtWallMs && showAtWallMs == other.showAtWallMs;
}

obs_data_t *armedShowToData(const ArmedShow &show)
{
	obs_data_t *object = obs_data_create();
	obs_data_set_int(object, "go_live_at", show.goLiveAtWallMs);
	obs_data_set_int(object, "show_at", show.showAtWallMs);
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
	return true;
}

ArmedRestart armedRestartCase(const ArmedShow &show, int64_t nowWallMs)
{
	if (show.writtenAtWallMs > nowWallMs)
		return ArmedRestart::WrittenInFuture;
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
