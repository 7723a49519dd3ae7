// Benchmarks run inside a Qt application (fonts need one) with the en-US texts, so the
// default preset reads as an operator would see it.
#include "module/module_host.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <util/text-lookup.h>

int main(int argc, char **argv)
{
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv))
		return 1;
	if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QGuiApplication app(argc, argv);
	setModuleLookupForTesting(text_lookup_create(CURTAINUP_LOCALE_FILE));
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	freeModuleLocale();
	return 0;
}
