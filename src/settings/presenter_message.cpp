#include "settings/presenter_message.h"

#include "base/data_fields.h"
#include "base/module_host.h"
#include "settings/config.h"

#include <obs.hpp>

#include <mutex>

namespace {

std::mutex messageMutex;
PresenterMessage keptMessage;

constexpr char messageKey[] = "presenter_message";

int characterCount(const QString &text)
{
	return int(text.toUcs4().size());
}

} // namespace

PresenterMessage presenterMessage()
{
	std::lock_guard<std::mutex> lock(messageMutex);
	return keptMessage;
}

QString setPresenterMessage(const PresenterMessage &message)
{
	if (characterCount(message.text) > presenterMessageMaxChars)
		return QStringLiteral("The message has %1 characters; at most %2 fit.")
			.arg(characterCount(message.text))
			.arg(presenterMessageMaxChars);
	{
		std::lock_guard<std::mutex> lock(messageMutex);
		if (message == keptMessage)
			return QString();
		keptMessage = message;
	}
	saveConfig();
	return QString();
}

void readPresenterMessage(obs_data_t *config)
{
	PresenterMessage read;
	OBSDataAutoRelease object = config ? obs_data_get_obj(config, messageKey) : nullptr;
	if (object) {
		DataFields fields(object);
		read.text = fields.text("text", DataFields::Optional);
		read.blink = fields.boolean("blink", DataFields::Optional).value_or(false);
		if (!fields.ok() || characterCount(read.text) > presenterMessageMaxChars) {
			moduleLog(LOG_WARNING, "presenter message in the settings ignored: %s",
				  fields.ok() ? "it is too long." : qUtf8Printable(fields.error()));
			read = PresenterMessage();
		}
	}
	std::lock_guard<std::mutex> lock(messageMutex);
	keptMessage = read;
}

void writePresenterMessage(obs_data_t *config)
{
	const PresenterMessage message = presenterMessage();
	if (message.text.isEmpty())
		return;
	OBSDataAutoRelease object = obs_data_create();
	obs_data_set_string(object, "text", message.text.toUtf8().constData());
	obs_data_set_bool(object, "blink", message.blink);
	obs_data_set_obj(config, messageKey, object);
}
