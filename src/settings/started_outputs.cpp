#include "settings/started_outputs.h"

#include "base/data_fields.h"
#include "settings/kept_record.h"

#include <limits>

bool StartedOutputs::operator==(const StartedOutputs &other) const
{
	return active == other.active && stream == other.stream && recording == other.recording;
}

obs_data_t *startedOutputsToData(const StartedOutputs &outputs)
{
	obs_data_t *object = obs_data_create();
	obs_data_set_bool(object, "stream", outputs.stream);
	obs_data_set_bool(object, "recording", outputs.recording);
	obs_data_set_int(object, "written_at", outputs.writtenAtWallMs);
	return object;
}

bool startedOutputsFromData(obs_data_t *object, StartedOutputs &outputs, QString &error)
{
	DataFields fields(object);
	const std::optional<bool> stream = fields.boolean("stream", DataFields::Optional);
	const std::optional<bool> recording = fields.boolean("recording", DataFields::Optional);
	const std::optional<int64_t> writtenAt =
		fields.integer("written_at", 0, std::numeric_limits<int64_t>::max(), DataFields::Optional);
	if (!fields.ok()) {
		error = fields.error();
		return false;
	}
	outputs.stream = stream.value_or(false);
	outputs.recording = recording.value_or(false);
	outputs.active = outputs.stream || outputs.recording;
	outputs.writtenAtWallMs = writtenAt.value_or(0);
	return true;
}

bool startedOutputsOwed(const StartedOutputs &outputs, int64_t nowWallMs)
{
	constexpr int64_t showDayMs = 12 * 3600000LL;
	return outputs.active && outputs.writtenAtWallMs <= nowWallMs && nowWallMs - outputs.writtenAtWallMs <= showDayMs;
}

namespace {
KeptRecord<StartedOutputs> keptOutputs("started_outputs", "started outputs", startedOutputsFromData,
				       startedOutputsToData);
} // namespace

const StartedOutputs &storedStartedOutputs()
{
	return keptOutputs.stored();
}

void storeStartedOutputs(const StartedOutputs &outputs)
{
	keptOutputs.store(outputs);
}

void readStartedOutputs(obs_data_t *config)
{
	keptOutputs.read(config);
}

void writeStartedOutputs(obs_data_t *config)
{
	keptOutputs.write(config);
}
