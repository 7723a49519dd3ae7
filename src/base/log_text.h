#pragma once

#include <QByteArray>
#include <QString>

// The first maxChars characters of a text, never half of a surrogate pair.
QString cutText(const QString &text, int maxChars);

// A caller's text made fit for one log line: line breaks become spaces and very long
// texts are cut (marked with an ellipsis). UTF-8.
QByteArray logText(const QString &text);
