#include "fuzz_process.h"

#include "test_process.h"

#include <QGuiApplication>
#include <util/base.h>

#include <cstdarg>
#include <cstdlib>

namespace {

void dropLogLine(int, const char *, va_list, void *) {}

void dropQtMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

QGuiApplication *application = nullptr;
EnglishTexts *texts = nullptr;

// libFuzzer ends the process with exit(); the leak check comes after this.
void endFuzzProcess()
{
	delete texts;
	delete application;
}

} // namespace

void startFuzzProcess(int *argc, char ***argv)
{
	prepareTestProcess();
	base_set_log_handler(dropLogLine, nullptr);
	qInstallMessageHandler(dropQtMessage);
	application = new QGuiApplication(*argc, *argv);
	texts = new EnglishTexts;
	std::atexit(endFuzzProcess);
}
