// The linear-light premultiplication that the countdown texture is uploaded with.
#include "picture/premultiply.h"

#include <gtest/gtest.h>

namespace {

QRgb converted(QRgb straight)
{
	QImage image(1, 1, QImage::Format_ARGB32);
	image.setPixel(0, 0, straight);
	premultiplyLinear(image);
	return image.pixel(0, 0);
}

} // namespace

TEST(PremultiplyLinear, HalfTransparentRedKeepsItsBrightness)
{
	EXPECT_EQ(converted(qRgba(255, 0, 0, 128)), qRgba(188, 0, 0, 128));
}

TEST(PremultiplyLinear, HalfTransparentWhiteBecomes188)
{
	EXPECT_EQ(converted(qRgba(255, 255, 255, 128)), qRgba(188, 188, 188, 128));
}

TEST(PremultiplyLinear, TransparentPixelsBecomeZero)
{
	EXPECT_EQ(converted(qRgba(12, 200, 99, 0)), 0u);
}

TEST(PremultiplyLinear, OpaquePixelsKeepTheirBytes)
{
	EXPECT_EQ(converted(qRgba(12, 200, 99, 255)), qRgba(12, 200, 99, 255));
	EXPECT_EQ(converted(qRgba(231, 124, 172, 255)), qRgba(231, 124, 172, 255));
}

TEST(PremultiplyLinear, BlackStaysBlackAtAnyAlpha)
{
	for (int alpha = 1; alpha < 255; alpha += 17)
		EXPECT_EQ(converted(qRgba(0, 0, 0, alpha)), qRgba(0, 0, 0, alpha)) << alpha;
}

TEST(PremultiplyLinear, NeverBrighterThanTheStraightColour)
{
	// Premultiplying can only darken a channel, and more alpha never gives less colour.
	for (int value = 0; value < 256; value += 5) {
		int previous = 0;
		for (int alpha = 1; alpha < 255; ++alpha) {
			const int channel = qRed(converted(qRgba(value, 0, 0, alpha)));
			EXPECT_LE(channel, value);
			EXPECT_GE(channel, previous);
			previous = channel;
		}
	}
}

TEST(PremultiplyLinear, ConvertsEveryRowOfAWiderImage)
{
	QImage image(37, 5, QImage::Format_ARGB32);
	image.fill(qRgba(255, 255, 255, 128));
	premultiplyLinear(image);
	for (int y = 0; y < image.height(); ++y) {
		for (int x = 0; x < image.width(); ++x)
			ASSERT_EQ(image.pixel(x, y), qRgba(188, 188, 188, 128)) << x << "," << y;
	}
}

TEST(PremultiplyLinear, AcceptsOtherFormatsByConvertingThem)
{
	QImage image(2, 1, QImage::Format_RGB32);
	image.fill(qRgb(10, 20, 30));
	premultiplyLinear(image);
	EXPECT_EQ(image.format(), QImage::Format_ARGB32);
	EXPECT_EQ(image.pixel(1, 0), qRgba(10, 20, 30, 255));
}
