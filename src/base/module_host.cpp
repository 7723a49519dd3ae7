#include "base/module_host.h"

#include <cstdarg>
#include <cstring>
#include <util/bmem.h>

namespace {
obs_module_t *modulePointer = nullptr;
lookup_t *moduleLookup = nullptr;
proc_handler_t *testProcHandler = nullptr;
constexpr const char *moduleLogName = "curtainup";
} // namespace

extern "C" obs_module_t *obs_current_module(void)
{
	return modulePointer;
}

extern "C" const char *obs_module_text(const char *key)
{
	const char *text = key;
	if (moduleLookup)
		text_lookup_getstr(moduleLookup, key, &text);
	return text;
}

void setModulePointer(obs_module_t *module)
{
	modulePointer = module;
}

void setModuleLocale(const char *locale)
{
	freeModuleLocale();
	moduleLookup = obs_module_load_locale(modulePointer, "en-US", locale);
}

void freeModuleLocale()
{
	if (moduleLookup)
		text_lookup_destroy(moduleLookup);
	moduleLookup = nullptr;
}

bool moduleGetString(const char *key, const char **text)
{
	return moduleLookup && text_lookup_getstr(moduleLookup, key, text);
}

void setModuleLookupForTesting(lookup_t *lookup)
{
	freeModuleLocale();
	moduleLookup = lookup;
}

proc_handler_t *globalProcHandler()
{
	return testProcHandler ? testProcHandler : obs_get_proc_handler();
}

void setGlobalProcHandlerForTesting(proc_handler_t *handler)
{
	testProcHandler = handler;
}

QString moduleText(const char *key)
{
	return QString::fromUtf8(obs_module_text(key));
}

QString moduleText(const QString &key)
{
	return moduleText(key.toUtf8().constData());
}

void moduleLog(int level, const char *format, ...)
{
	// "[%s] %s" of the module name and the caller's format: the prefix length plus the
	// format length plus one is exactly enough.
	const size_t length = std::strlen(moduleLogName) + 3 + std::strlen(format) + 1;
	char *prefixed = static_cast<char *>(bmalloc(length));
	snprintf(prefixed, length, "[%s] %s", moduleLogName, format);

	va_list args;
	va_start(args, format);
	blogva(level, prefixed, args);
	va_end(args);
	bfree(prefixed);
}

bool onGraphicsThread()
{
	return obs_in_task_thread(OBS_TASK_GRAPHICS);
}
