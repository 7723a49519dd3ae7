// The per-frame pass of a countdown source, as the host's video_render runs it, with a
// texture and a queue that only count.
#include "source/frame_pass.h"

#include "source/frame_slot.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

struct CountingTexture final : PictureTexture {
	void upload(const QImage &frame, const QRect &) override
	{
		++uploads;
		has = !frame.isNull();
	}
	bool exists() const override { return has; }
	int uploads = 0;
	bool has = false;
};

struct CountingQueue final : RenderQueue {
	bool enqueue(FrameSlot &) override
	{
		++queued;
		return accept;
	}
	int queued = 0;
	bool accept = true;
};

QImage frame()
{
	QImage image(4, 2, QImage::Format_ARGB32);
	image.fill(Qt::white);
	return image;
}

// A source whose first render was queued and has arrived in its texture.
struct FramePass : ::testing::Test {
	void SetUp() override
	{
		prepareFrame(slot, texture, revision, queue);
		slot.publish(frame());
		ASSERT_TRUE(prepareFrame(slot, texture, revision, queue));
	}
	FrameSlot slot;
	CountingTexture texture;
	CountingQueue queue;
	uint64_t revision = 7;
};

TEST_F(FramePass, SteadyFramesUploadAndQueueNothing)
{
	for (int i = 0; i < 3; ++i)
		EXPECT_TRUE(prepareFrame(slot, texture, revision, queue));
	EXPECT_EQ(texture.uploads, 1);
	EXPECT_EQ(queue.queued, 1);
}

TEST_F(FramePass, ChangedSettingsAskForANewPictureWhileTheShowStandsStill)
{
	slot.setKind(true);
	prepareFrame(slot, texture, revision, queue);
	EXPECT_EQ(queue.queued, 2);
}

TEST_F(FramePass, ARefusedQueueIsTriedAgainAtTheNextFrame)
{
	queue.accept = false;
	prepareFrame(slot, texture, revision + 1, queue);
	queue.accept = true;
	prepareFrame(slot, texture, revision + 1, queue);
	EXPECT_EQ(queue.queued, 3);
}

TEST(InkBounds, HoldsEveryPixelThatIsNotZero)
{
	QImage image(40, 30, QImage::Format_ARGB32);
	image.fill(0);
	EXPECT_TRUE(inkBounds(image).isEmpty());
	image.setPixel(5, 20, 0x01000000);
	image.setPixel(33, 7, 0x00000001);
	EXPECT_EQ(inkBounds(image), QRect(QPoint(5, 7), QPoint(33, 20)));
}

TEST(TextureArea, KeepsAZeroBorderAroundTheInkAndStaysWhileTheInkFits)
{
	const QSize frame(200, 100);
	const QRect area = textureArea(QRect(), QRect(QPoint(32, 40), QPoint(90, 63)), frame);
	EXPECT_TRUE(area.contains(QRect(QPoint(31, 39), QPoint(91, 64))));
	EXPECT_EQ(textureArea(area, QRect(QPoint(40, 45), QPoint(80, 60)), frame), area);
	const QRect grown = textureArea(area, QRect(QPoint(10, 40), QPoint(90, 63)), frame);
	EXPECT_TRUE(grown.contains(QRect(QPoint(9, 39), QPoint(91, 64))));
	EXPECT_EQ(textureArea(grown, QRect(QPoint(0, 0), QPoint(4, 4)), QSize(60, 20)), QRect(0, 0, 32, 20));
}

} // namespace
