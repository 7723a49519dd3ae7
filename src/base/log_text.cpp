#include "base/log_text.h"

namespace {
// Long enough for any real reason or sender name; a megabyte of text would only flood the log.
constexpr int maxLoggedChars = 200;
} // namespace

QByteArray logText(const QString &text)
{
	QString line = text.left(maxLoggedChars);
	if (line.size() < text.size()) {
		if (line.at(line.size() - 1).isHighSurrogate())
			line.chop(1);
		line += QChar(0x2026);
	}
	line.replace(QLatin1Char('\r'), QLatin1Char(' '));
	line.replace(QLatin1Char('\n'), QLatin1Char(' '));
	return line.toUtf8();
}
