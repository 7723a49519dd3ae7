#include "base/log_text.h"

namespace {
// Long enough for any real reason or sender name; a megabyte of text would only flood the log.
constexpr int maxLoggedChars = 200;
} // namespace

QString cutText(const QString &text, int maxChars)
{
	QString cut = text.left(maxChars);
	if (cut.size() < text.size() && !cut.isEmpty() && cut.at(cut.size() - 1).isHighSurrogate())
		cut.chop(1);
	return cut;
}

QByteArray logText(const QString &text)
{
	QString line = cutText(text, maxLoggedChars);
	if (line.size() < text.size())
		line += QChar(0x2026);
	line.replace(QLatin1Char('\r'), QLatin1Char(' '));
	line.replace(QLatin1Char('\n'), QLatin1Char(' '));
	return line.toUtf8();
}
