#include "picture/image_cache.h"

#include <algorithm>

int imageCostKiB(const QImage &image)
{
	return static_cast<int>(std::max<qsizetype>(1, image.sizeInBytes() / 1024));
}

ImageCache::ImageCache(int maxCostKiB) : cache(maxCostKiB) {}

const QImage *ImageCache::find(const QString &key)
{
	return cache.object(key);
}

void ImageCache::insert(const QString &key, const QImage &image)
{
	cache.insert(key, new QImage(image), imageCostKiB(image));
}

int ImageCache::count() const
{
	return cache.count();
}
