#include "settings/crew_keys.h"

#include "base/module_host.h"
#include "settings/config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>

namespace {

constexpr int keyBytes = 16;

std::string randomKey()
{
	std::array<quint32, keyBytes / 4> words;
	QRandomGenerator::system()->fillRange(words.data(), words.size());
	const QByteArray bytes(reinterpret_cast<const char *>(words.data()), keyBytes);
	return bytes.toHex().toStdString();
}

bool wellFormed(const std::string &key)
{
	if (key.size() != keyBytes * 2)
		return false;
	for (char c : key)
		if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
			return false;
	return true;
}

// Written to a file of the user's own (0600) and renamed over the old one: never a backup.
bool writeKeys(const CrewKeys &keys)
{
	const QString path = crewKeysPath();
	QDir().mkpath(QFileInfo(path).path());
	const QByteArray target = QFile::encodeName(path);
	const QByteArray temporary = target + ".tmp";
	const QByteArray text = QJsonDocument(QJsonObject{{QStringLiteral("view"), QString::fromStdString(keys.view)},
							  {QStringLiteral("control"), QString::fromStdString(keys.control)}})
					.toJson(QJsonDocument::Compact);
	const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	if (fd < 0)
		return false;
	bool written = ::fchmod(fd, 0600) == 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size() &&
		       ::fsync(fd) == 0;
	written = ::close(fd) == 0 && written;
	if (!written || std::rename(temporary.constData(), target.constData()) != 0) {
		::unlink(temporary.constData());
		return false;
	}
	return true;
}

CrewKeys made()
{
	CrewKeys keys{randomKey(), randomKey()};
	if (!writeKeys(keys)) {
		moduleLog(LOG_WARNING, "the crew page's keys cannot be written to %s; the page stays off",
			  qUtf8Printable(crewKeysPath()));
		return CrewKeys();
	}
	return keys;
}

} // namespace

QString crewKeysPath()
{
	return QFileInfo(configPath()).dir().filePath(QStringLiteral("crew_keys.json"));
}

CrewKeys crewKeys()
{
	QFile file(crewKeysPath());
	if (!file.exists())
		return made();
	CrewKeys keys;
	if (file.open(QIODevice::ReadOnly)) {
		const QJsonObject object = QJsonDocument::fromJson(file.read(4096)).object();
		keys = {object.value(QStringLiteral("view")).toString().toStdString(),
			object.value(QStringLiteral("control")).toString().toStdString()};
	}
	if (wellFormed(keys.view) && wellFormed(keys.control) && keys.view != keys.control)
		return keys;
	moduleLog(LOG_WARNING, "the crew page's keys file cannot be used; new links are made");
	return made();
}

CrewKeys renewCrewKeys()
{
	return made();
}
