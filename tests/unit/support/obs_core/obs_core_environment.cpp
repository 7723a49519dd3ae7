// Starts libobs's core (no video, no audio) for tests of the module's link to the host:
// its procedure and signal handlers, hotkeys and UI tasks. The core's hotkey part needs an
// X display; without one a private Xvfb is started for the run.
#include "ui_task_queue.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <obs.h>

namespace {

void queueUiTaskForTest(obs_task_t task, void *param, bool wait)
{
	// Nothing in these tests waits for a UI task; a waiting one would never finish here.
	EXPECT_FALSE(wait);
	queueUiTask(task, param);
}

class ObsCoreEnvironment : public testing::Environment {
public:
	void SetUp() override
	{
		if (qEnvironmentVariableIsEmpty("DISPLAY")) {
			ASSERT_NO_FATAL_FAILURE(startPrivateDisplay());
		}
		ASSERT_TRUE(obs_startup("en-US", nullptr, nullptr));
		obs_set_ui_task_handler(queueUiTaskForTest);
	}

	void TearDown() override
	{
		obs_shutdown();
		if (display.state() != QProcess::NotRunning) {
			display.terminate();
			display.waitForFinished(5000);
		}
	}

private:
	void startPrivateDisplay()
	{
		// Xvfb picks a free display and writes its number to the given descriptor.
		display.start(QStringLiteral("Xvfb"),
			      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
			       QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
			       QStringLiteral("64x64x24")});
		ASSERT_TRUE(display.waitForStarted(5000)) << "Xvfb is needed for libobs's hotkeys";
		QByteArray number;
		while (!number.contains('\n') && display.waitForReadyRead(10000))
			number += display.readAllStandardOutput();
		number = number.trimmed();
		ASSERT_FALSE(number.isEmpty()) << "Xvfb gave no display number";
		qputenv("DISPLAY", ":" + number);
	}

	QProcess display;
};

const testing::Environment *const environment = testing::AddGlobalTestEnvironment(new ObsCoreEnvironment);

} // namespace
