#pragma once

#include <QCache>
#include <QImage>
#include <QString>

// A least-recently-used cache of finished images, costed in KiB. Each drawing thread
// keeps its own (see textLayerCache and glyphPictureCache), so it needs no lock.
class ImageCache {
public:
	explicit ImageCache(int maxCostKiB);

	// The image under `key`, now the most recently used; null when absent.
	const QImage *find(const QString &key);
	// Keeps a copy; an image costlier than the whole cache is not kept.
	void insert(const QString &key, const QImage &image);
	int count() const;

private:
	QCache<QString, QImage> cache;
};

// What an image costs in a cache: its bytes in KiB, at least 1.
int imageCostKiB(const QImage &image);
