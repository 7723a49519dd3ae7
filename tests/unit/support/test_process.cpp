#include "test_process.h"

#include "module/module_host.h"

#include <QtGlobal>
#include <ctime>
#include <util/text-lookup.h>

void prepareTestProcess()
{
	// Test discovery runs the binaries without the test environment.
	if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
		qputenv("QT_QPA_PLATFORM", "offscreen");
	qputenv("TZ", "UTC");
	tzset();
}

void useEnglishTexts()
{
	setModuleLookupForTesting(text_lookup_create(CURTAINUP_LOCALE_FILE));
}

EnglishTexts::EnglishTexts()
{
	useEnglishTexts();
}

EnglishTexts::~EnglishTexts()
{
	freeModuleLocale();
}
