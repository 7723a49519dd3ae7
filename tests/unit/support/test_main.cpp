// Runs the tests inside a Qt application (timers, queued calls, fonts) with the module's
// en-US texts loaded, so tests see the words an operator sees.
#include "module/module_host.h"

#include <QGuiApplication>
#include <ctime>
#include <gtest/gtest.h>
#include <util/text-lookup.h>

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	// Same conditions wherever the tests run: no display, and clock times in UTC.
	if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
		qputenv("QT_QPA_PLATFORM", "offscreen");
	qputenv("TZ", "UTC");
	tzset();
	QGuiApplication app(argc, argv);
	setModuleLookupForTesting(text_lookup_create(CURTAINUP_LOCALE_FILE));
	const int result = RUN_ALL_TESTS();
	freeModuleLocale();
	return result;
}
