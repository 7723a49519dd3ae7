#pragma once

#include <QByteArray>
#include <QString>

// A caller's text made fit for one log line: line breaks become spaces and very long
// texts are cut (marked with an ellipsis). UTF-8.
QByteArray logText(const QString &text);
