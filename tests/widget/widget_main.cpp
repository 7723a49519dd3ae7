// Runs the widget tests inside a QApplication on the offscreen platform.
#include "test_process.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says this for every dialog; it tells nothing about the dock.
void dropDialogNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
	if (!message.contains(QLatin1String("propagateSizeHints")))
		defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	prepareTestProcess();
	QApplication app(argc, argv);
	defaultHandler = qInstallMessageHandler(dropDialogNoise);
	EnglishTexts texts;
	return RUN_ALL_TESTS();
}
