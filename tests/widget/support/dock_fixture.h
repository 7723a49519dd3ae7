#pragma once

#include "dock/standby_dock.h"
#include "fake_dock_director.h"
#include "fake_dock_host.h"
#include "temp_config.h"

#include <QByteArray>
#include <QJsonObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

// A dock on a fake host and director, over presets read from a private config.json.
class DockTest : public testing::Test {
protected:
	// Scenes "Standby", "Main", "Break", "Ending", "OP"; music "Music"; media "Opening";
	// transitions "Fade", "Cut" (fixed length), "Swipe".
	void SetUp() override;
	void TearDown() override;

	// Reads the presets from this JSON text (the file keeps no trace of it afterwards).
	void loadPresets(const QByteArray &json);
	// Builds the dock over the current presets and shows it.
	void makeDock();

	// A control of the dock by its member name.
	template<typename W> W *control(const char *name) const
	{
		W *widget = dock->findChild<W *>(QStringLiteral("curtainup_") + QLatin1String(name));
		EXPECT_NE(widget, nullptr) << name;
		return widget;
	}
	QTimer *textTimer() const { return control<QTimer>("textTimer"); }
	// Runs the text timer's timeout now, as if 400 ms had passed without typing.
	void firePendingTexts();

	// How often the current preset was applied and written since the last call.
	int saves();
	// The config file's current preset as written; empty when the file is not there.
	QJsonObject writtenPreset() const;
	// Removes the config file, so a later write shows.
	void forgetWrites();

	TempConfig config;
	FakeDockHost *host = nullptr;
	FakeDockDirector *director = nullptr;
	std::unique_ptr<StandbyDock> dock;

private:
	uint64_t lastRevision = 0;
};
