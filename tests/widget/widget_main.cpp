// Runs the widget tests inside a QApplication on the offscreen platform, with the module's
// en-US texts loaded so the tests see what an operator sees.
#include "module/module_host.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <util/text-lookup.h>

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
	// Test discovery runs the binary without the test environment: never look for a display.
	if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QApplication app(argc, argv);
	defaultHandler = qInstallMessageHandler(dropDialogNoise);
	setModuleLookupForTesting(text_lookup_create(CURTAINUP_LOCALE_FILE));
	const int result = RUN_ALL_TESTS();
	freeModuleLocale();
	return result;
}
