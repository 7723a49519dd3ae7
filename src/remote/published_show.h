#pragma once

#include <QString>
#include <QStringList>

struct ShowReport;

// What the vendor answers on obs-websocket's own threads without waiting for the UI
// thread: the settings file's problem and the preset list as the UI thread last published
// them. The director publishes its flow itself, and the countdown is read live from the
// shared show state.
struct PublishedShow {
	QString saveProblem; // the settings file cannot be written
	QStringList presets;
	QString currentPreset;
};

// UI thread: the settings file's problem.
void publishSaveProblem(const QString &saveProblem);
// UI thread: the preset list and the current one as they are now.
void publishPresetList();
// Any thread.
PublishedShow publishedShow();
// Any thread: the show now, from the published flow and the live show state.
ShowReport currentShowReport();
