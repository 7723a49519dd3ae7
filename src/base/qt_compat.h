#pragma once

// The few places where Qt 5.15 and Qt 6 differ in what this module uses. Version checks
// live here and nowhere else.

#include <QFontDatabase>
#include <QImageReader>
#include <QString>
#include <QtGlobal>

namespace compat {

// Gives `to` a copy of `from` through Qt's inline copy and move. Qt 5's copy assignment of a
// shared value (QString, a struct of them) drops the old payload inside QtCore, where
// ThreadSanitizer cannot see the reference count that orders the free after another
// thread's last use; for values other threads read, use this instead of `=`.
template<typename T> void assignCopy(T &to, const T &from)
{
	to = T(from);
}

// QFontDatabase's queries are static in Qt 6 and members of an instance in Qt 5.
inline bool hasFontFamily(const QString &family)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
	return QFontDatabase::hasFamily(family);
#else
	return QFontDatabase().hasFamily(family);
#endif
}

// Qt 6 refuses to decode a picture whose buffer would pass the reader's allocation limit
// and gives a null image without a word; Qt 5 has no such limit. Sets it where it exists.
inline void setImageAllocationLimit(QImageReader &reader, int megabytes)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
	reader.setAllocationLimit(megabytes);
#else
	(void)reader;
	(void)megabytes;
#endif
}

} // namespace compat
