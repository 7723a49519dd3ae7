#pragma once

#include <QString>

struct obs_data;
typedef struct obs_data obs_data_t;

// The operator's message to the presenter, kept in "config.json" under "presenter_message"
// until it is cleared. Set on the UI thread, read on any thread (the remote's readers, the
// crew's page).
struct PresenterMessage {
	QString text;
	bool blink = false;

	bool operator==(const PresenterMessage &other) const { return text == other.text && blink == other.blink; }
	bool operator!=(const PresenterMessage &other) const { return !(*this == other); }
};

constexpr int presenterMessageMaxChars = 200;

PresenterMessage presenterMessage();
// Refuses a text longer than presenterMessageMaxChars characters with a sentence, and
// keeps the message as it was; else keeps it and writes the file when it changed.
QString setPresenterMessage(const PresenterMessage &message);
void readPresenterMessage(obs_data_t *config);
void writePresenterMessage(obs_data_t *config);
