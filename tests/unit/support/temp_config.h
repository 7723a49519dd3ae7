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

	// Points the settings at a path no write reaches (a file stands where its folder should
	// be, which stops root as well), until unblockWrites.
	void blockWrites() const;
	void unblockWrites() const;

private:
	QTemporaryDir dir;
};
