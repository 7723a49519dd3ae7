#include "test_process.h"

#include "base/module_host.h"
#include "picture/preset_picture.h"

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
	// As the module does at load: the current preset is shown in the show state.
	showPresetChanges();
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
