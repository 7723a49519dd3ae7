#include "temp_config.h"

#include "settings/config.h"

#include <QFile>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
	QFile file(path);
	if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
		file.write(text);
}

QByteArray readFile(const QString &path)
{
	QFile file(path);
	return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TempConfig::TempConfig()
{
	setConfigPathOverride(path());
}

TempConfig::~TempConfig()
{
	setConfigPathOverride(QString());
}

QString TempConfig::path() const
{
	return dir.filePath(QStringLiteral("config.json"));
}

void TempConfig::write(const QByteArray &text) const
{
	writeFile(path(), text);
}

void TempConfig::writeBackup(const QByteArray &text) const
{
	writeFile(backupPath(), text);
}

QByteArray TempConfig::read() const
{
	return readFile(path());
}

QByteArray TempConfig::readBackup() const
{
	return readFile(backupPath());
}

void TempConfig::blockWrites() const
{
	const QString blocker = dir.filePath(QStringLiteral("blocked"));
	writeFile(blocker, QByteArray());
	setConfigPathOverride(blocker + QStringLiteral("/config.json"));
}

void TempConfig::unblockWrites() const
{
	setConfigPathOverride(path());
}
