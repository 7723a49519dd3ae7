// The crew page's settings in "config.json" and its keys in a file of their own.
#include "log_capture.h"
#include "settings/config.h"
#include "settings/crew_keys.h"
#include "settings/crew_settings.h"
#include "temp_config.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(CrewSettings, OlderFilesReadTheDefaultsAndBadOnesSaySo)
{
	TempConfig config;
	const struct {
		QByteArray json;
		CrewSettings read;
		bool warned;
	} files[] = {
		{R"({"version": 2, "presets": []})", CrewSettings(), false},
		{R"({"crew": {"on": true, "network": "lan", "port": 5000, "address": "10.0.0.5"}})",
		 {true, true, 5000, QStringLiteral("10.0.0.5")}, false},
		{R"({"crew": {"on": true, "network": "internet"}})", CrewSettings(), true},
		{R"({"crew": {"on": true, "port": 80}})", CrewSettings(), true},
	};
	for (const auto &file : files) {
		LogCapture log;
		config.write(file.json);
		loadConfig();
		EXPECT_EQ(crewSettings(), file.read) << file.json.constData();
		EXPECT_EQ(log.contains("crew page settings ignored"), file.warned) << file.json.constData();
	}
	storeCrewSettings({true, false, 4470, QString()});
	loadConfig();
	EXPECT_EQ(crewSettings(), (CrewSettings{true, false, 4470, QString()}));
	releaseConfig();
}

TEST(CrewKeys, KeptForTheUserAloneWithoutABackupUntilRenewed)
{
	TempConfig config;
	const CrewKeys first = crewKeys();
	EXPECT_EQ(first.view.size(), 32u);
	EXPECT_NE(first.view, first.control);
	struct stat info = {};
	ASSERT_EQ(stat(QFile::encodeName(crewKeysPath()).constData(), &info), 0);
	EXPECT_EQ(info.st_mode & 0777, 0600u);
	EXPECT_EQ(crewKeys().control, first.control) << "the links stay valid over a restart";

	const CrewKeys renewed = renewCrewKeys();
	EXPECT_NE(renewed.view, first.view);
	QFile file(crewKeysPath());
	ASSERT_TRUE(file.open(QIODevice::ReadOnly));
	const QByteArray text = file.readAll();
	EXPECT_FALSE(text.contains(first.view.c_str()) || text.contains(first.control.c_str()));
	EXPECT_FALSE(QFileInfo::exists(crewKeysPath() + ".bak") || QFileInfo::exists(crewKeysPath() + ".tmp"));

	QFile broken(crewKeysPath());
	ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
	broken.write(R"({"view": "short", "control": "short"})");
	broken.close();
	LogCapture log;
	EXPECT_EQ(crewKeys().view.size(), 32u);
	EXPECT_TRUE(log.contains("keys file cannot be used"));
}
