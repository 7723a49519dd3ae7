// A process killed in the middle of writing "config.json" must leave a readable file or a
// readable backup behind, never two unreadable ones.
#include "settings/config.h"
#include "settings/preset_store.h"
#include "temp_config.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void saveForever()
{
	for (int round = 0;; ++round) {
		presetList()[0].title = QStringLiteral("round %1").arg(round);
		// Large enough that a write takes a while and a kill often lands inside it.
		QStringList messages;
		for (int i = 0; i < 200; ++i)
			messages.append(QStringLiteral("message %1 of round %2").arg(i).arg(round));
		presetList()[0].messages = messages;
		saveConfig();
	}
}

// Starts a child that saves without pause and kills it after a random moment.
void killDuringSave(std::mt19937 &random)
{
	std::uniform_int_distribution<int> delayUs(0, 30000);
	const pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0)
		saveForever();
	usleep(useconds_t(delayUs(random)));
	kill(child, SIGKILL);
	int status = 0;
	waitpid(child, &status, 0);
	ASSERT_TRUE(WIFSIGNALED(status));
}

} // namespace

TEST(ConfigCrash, KillDuringSaveLeavesAReadableFileOrBackup)
{
	TempConfig config;
	config.write(R"({"presets": [{"name": "Survivor"}]})");
	std::mt19937 random(12345);
	for (int attempt = 0; attempt < 40; ++attempt) {
		loadConfig();
		ASSERT_EQ(currentPreset().name, QStringLiteral("Survivor")) << "attempt " << attempt;
		ASSERT_NO_FATAL_FAILURE(killDuringSave(random));
	}
	loadConfig();
	EXPECT_EQ(currentPreset().name, QStringLiteral("Survivor"));
	releaseConfig();
}

TEST(ConfigCrash, KillDuringSaveAfterAFallbackToTheBackupLosesNothing)
{
	TempConfig config;
	std::mt19937 random(777);
	for (int attempt = 0; attempt < 20; ++attempt) {
		// Each round starts from a broken file with a good backup.
		config.write("{\"presets\": [{\"name\": ");
		config.writeBackup(R"({"presets": [{"name": "Survivor"}]})");
		loadConfig();
		ASSERT_EQ(currentPreset().name, QStringLiteral("Survivor")) << "attempt " << attempt;

		ASSERT_NO_FATAL_FAILURE(killDuringSave(random));
		loadConfig();
		ASSERT_EQ(currentPreset().name, QStringLiteral("Survivor")) << "attempt " << attempt;
	}
	releaseConfig();
}
