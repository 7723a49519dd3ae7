#include "settings/preset.h"

#include "base/module_host.h"

#include <algorithm>
#include <array>

QColor themeColor(int theme)
{
	static const std::array<QRgb, 7> colors = {0xE77CAC, 0x34AAD0, 0x8E6FD8, 0x5D84DE,
						   0x45B078, 0xE6864A, 0xC28C0E};
	const int index = std::clamp(theme, 0, int(colors.size()) - 1);
	return QColor(colors[size_t(index)]);
}

Preset defaultPreset(const QString &name)
{
	Preset preset;
	preset.name = name;
	preset.title = QStringLiteral("Starting Soon");
	// Default.Messages holds several messages separated by "|".
	const QStringList parts = moduleText("Default.Messages").split(QLatin1Char('|'));
	for (const QString &part : parts) {
		if (!part.isEmpty())
			preset.messages.append(part);
	}
	preset.end_text = moduleText("Default.End");
	preset.holdText = moduleText("Default.Hold");
	preset.break_text = moduleText("Default.Break");
	preset.classic.sub = moduleText("Default.Sub");
	return preset;
}

QStringList splitMessages(const QString &text)
{
	QStringList messages;
	const QStringList lines = text.split(QLatin1Char('\n'));
	for (const QString &line : lines) {
		const QString trimmed = line.trimmed();
		if (!trimmed.isEmpty())
			messages.append(trimmed);
	}
	return messages;
}
