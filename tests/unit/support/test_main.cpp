// Runs the tests inside a Qt application (timers, queued calls, fonts).
#include "test_process.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	prepareTestProcess();
	QGuiApplication app(argc, argv);
	EnglishTexts texts;
	return RUN_ALL_TESTS();
}
