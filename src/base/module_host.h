#pragma once

#include <QString>
#include <obs-module.h>

// Module-wide host handles: the module pointer and the locale lookup, plus the
// text and log helpers every subsystem uses.

void setModulePointer(obs_module_t *module);
void setModuleLocale(const char *locale);
void freeModuleLocale();
bool moduleGetString(const char *key, const char **text);
// For tests: use a lookup built from a locale file instead of the module's own.
void setModuleLookupForTesting(lookup_t *lookup);

// The caller runs on the host's graphics thread.
bool onGraphicsThread();

// The host's global procedure handler; tests put their own in its place.
proc_handler_t *globalProcHandler();
void setGlobalProcHandlerForTesting(proc_handler_t *handler);

// The locale text of a key as a QString (the key itself when it has no text).
QString moduleText(const char *key);
QString moduleText(const QString &key);

// One log line through the host, prefixed "[curtainup] ".
void moduleLog(int level, const char *format, ...)
#ifdef __GNUC__
	__attribute__((format(printf, 2, 3)))
#endif
	;
