// Each input is the text of "config.json" in a private folder, read through the module's
// own loading path twice: once as the file itself, and once as the backup behind a file
// that cannot be read. Whatever was read must survive a save and a second load unchanged.
#include "fuzz_process.h"
#include "temp_config.h"

#include "settings/config.h"
#include "settings/preset_store.h"

#include <obs.hpp>

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

TempConfig *config = nullptr;

// The presets and the current index as the file would hold them.
QByteArray presetsAsJson()
{
	QByteArray json = QByteArray::number(currentIndex());
	for (const Preset &preset : presetList()) {
		OBSDataAutoRelease data = presetToData(preset);
		json += '\n';
		json += obs_data_get_json(data);
	}
	return json;
}

void loadSaveAndLoadAgain()
{
	loadConfig();
	const QByteArray read = presetsAsJson();
	saveConfig();
	loadConfig();
	const QByteArray reread = presetsAsJson();
	if (read != reread) {
		fprintf(stderr, "presets changed by a save and load:\n%s\n---\n%s\n", read.constData(),
			reread.constData());
		abort();
	}
}

void removeFiles()
{
	for (const QString &path :
	     {config->path(), config->backupPath(), config->path() + QStringLiteral(".unreadable")})
		QFile::remove(path);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
	startFuzzProcess(argc, argv);
	config = new TempConfig;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	const QByteArray text(reinterpret_cast<const char *>(data), int(size));

	removeFiles();
	config->write(text);
	loadSaveAndLoadAgain();

	removeFiles();
	config->write("{");
	config->writeBackup(text);
	loadSaveAndLoadAgain();

	releaseConfig();
	return 0;
}
