#pragma once

#include <QString>
#include <QTemporaryDir>

// A private folder for "config.json"; the settings read and write there while alive.
class TempConfig {
public:
	TempConfig();
	~TempConfig();

	QString path() const; // the config.json path
	QString backupPath() const { return path() + QStringLiteral(".bak"); }
	QString folder() const { return dir.path(); }

	void write(const QByteArray &text) const;
	void writeBackup(const QByteArray &text) const;
	QByteArray read() const;
	QByteArray readBackup() const;

private:
	QTemporaryDir dir;
};
