// Benchmarks run inside a Qt application (fonts need one) with the en-US texts, so the
// default preset reads as an operator would see it.
#include "test_process.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv))
		return 1;
	prepareTestProcess();
	QGuiApplication app(argc, argv);
	EnglishTexts texts;
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
