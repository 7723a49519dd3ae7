#pragma once

#include "base/clock.h"
#include "base/module_host.h"
#include "settings/config.h"

#include <obs.hpp>

#include <QString>

// A record of the show in progress kept under one key of "config.json", so that it
// survives a restart of OBS: read back with the file (absent or null: none; one that
// cannot be used is dropped with one warning line) and written, stamped with the time of
// writing, while it is active. Record has `active` and `writtenAtWallMs`; its equality
// leaves the stamp out.
template<typename Record> class KeptRecord {
public:
	using Parse = bool (*)(obs_data_t *object, Record &record, QString &error);
	// Returns a new data object (the caller owns the reference).
	using Write = obs_data_t *(*)(const Record &record);

	KeptRecord(const char *key, const char *what, Parse parse, Write write)
	    : key(key), what(what), parse(parse), toData(write)
	{
	}

	const Record &stored() const { return record; }

	// Keeps the record and writes the configuration file when it changed.
	void store(const Record &changed)
	{
		if (changed == record)
			return;
		record = changed;
		saveConfig();
	}

	void read(obs_data_t *config)
	{
		record = Record();
		if (!config || !obs_data_has_user_value(config, key))
			return;
		OBSDataAutoRelease object = obs_data_get_obj(config, key);
		QString error = QStringLiteral("it is not an object.");
		if (!object || !parse(object, record, error)) {
			record = Record();
			moduleLog(LOG_WARNING, "%s in the settings ignored: %s", what, qUtf8Printable(error));
		}
	}

	void write(obs_data_t *config)
	{
		if (!record.active)
			return;
		record.writtenAtWallMs = wallNowMs();
		OBSDataAutoRelease object = toData(record);
		obs_data_set_obj(config, key, object);
	}

private:
	const char *key;
	const char *what;
	Parse parse;
	Write toData;
	Record record;
};
