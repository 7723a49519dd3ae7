#include "picture/messages.h"

#include "settings/preset.h"
#include "show/picture_texts.h"

namespace {
constexpr int64_t messagePeriodMs = 6000;
constexpr int64_t fadeMs = 500;
} // namespace

QString startsAtLine(const Preset &preset, const PictureTexts &texts)
{
	if (preset.count_mode != 0)
		return QString();
	const QString time = QStringLiteral("%1:%2")
				     .arg(preset.target_minutes / 60)
				     .arg(preset.target_minutes % 60, 2, 10, QLatin1Char('0'));
	return QString(texts.startsAt).replace(QLatin1String("%1"), time);
}

QStringList messageLines(const Preset &preset, const PictureTexts &texts)
{
	QStringList lines;
	for (const QString &message : preset.messages) {
		const QString line = message.trimmed();
		if (!line.isEmpty())
			lines << line;
	}
	if (lines.isEmpty()) {
		const QString startsAt = startsAtLine(preset, texts);
		if (!startsAt.isEmpty())
			lines << startsAt;
	}
	return lines;
}

ShownMessage currentMessage(const QStringList &lines, int64_t nowMono)
{
	if (lines.isEmpty())
		return {};
	if (lines.size() == 1)
		return {lines.first(), 1.0};
	const int64_t inPeriod = nowMono % messagePeriodMs;
	const int index = static_cast<int>((nowMono / messagePeriodMs) % lines.size());
	double opacity = 1.0;
	if (inPeriod < fadeMs)
		opacity = double(inPeriod) / fadeMs;
	else if (inPeriod > messagePeriodMs - fadeMs)
		opacity = double(messagePeriodMs - inPeriod) / fadeMs;
	return {lines.at(index), opacity};
}
