// The per-frame pass of a countdown source, as the host's video_render runs it, with a
// texture and a queue that only count.
#include "source/frame_pass.h"

#include "source/frame_slot.h"
#include "source/upload_frame.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

struct CountingTexture final : PictureTexture {
	void upload(const UploadFrame &) override
	{
		++uploads;
		has = true;
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

UploadFrame frame()
{
	UploadFrame frame;
	frame.size = QSize(4, 2);
	return frame;
}

// A source whose first render was queued and has arrived in its texture, then two more
// frames: a new render is queued only when the picture must change, and a refused one is
// tried again at the next frame.
TEST(FramePass, QueuesARenderOnlyWhenThePictureMustChange)
{
	struct Case {
		const char *what;
		bool kindChanged;
		uint64_t revisionStep;
		bool refusedOnce;
		int queued;
	} cases[] = {
		{"steady frames", false, 0, false, 1},
		{"changed settings while the show stands still", true, 0, false, 2},
		{"a new revision, refused once", false, 1, true, 3},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.what);
		FrameSlot slot;
		CountingTexture texture;
		CountingQueue queue;
		const uint64_t revision = 7;
		prepareFrame(slot, texture, revision, queue);
		slot.publish(frame());
		ASSERT_TRUE(prepareFrame(slot, texture, revision, queue));
		if (c.kindChanged)
			slot.setKind(true);
		queue.accept = !c.refusedOnce;
		EXPECT_TRUE(prepareFrame(slot, texture, revision + c.revisionStep, queue));
		queue.accept = true;
		EXPECT_TRUE(prepareFrame(slot, texture, revision + c.revisionStep, queue));
		EXPECT_EQ(texture.uploads, 1) << "only the one finished frame is uploaded";
		EXPECT_EQ(queue.queued, c.queued);
	}
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

TEST(TextureArea, KeepsAZeroBorderAroundTheInkStaysWhileItFitsAndGrowsInBlocks)
{
	const QSize frame(200, 100);
	const QRect area = textureArea(QRect(), QRect(QPoint(32, 40), QPoint(90, 63)), frame);
	EXPECT_TRUE(area.contains(QRect(QPoint(31, 39), QPoint(91, 64))));
	EXPECT_EQ(textureArea(area, QRect(QPoint(40, 45), QPoint(80, 60)), frame), area);
	const QRect wider(QPoint(10, 40), QPoint(130, 63));
	ASSERT_FALSE(area.contains(wider.adjusted(-1, -1, 1, 1))) << "this ink must outgrow the area";
	const QRect grown = textureArea(area, wider, frame);
	EXPECT_TRUE(grown.contains(wider.adjusted(-1, -1, 1, 1)));
	EXPECT_TRUE(grown.contains(area)) << "while the frame keeps its size the area only grows";
	EXPECT_EQ(QRect(grown.x() % 32, grown.y() % 32, grown.width() % 32, grown.height() % 32), QRect(0, 0, 0, 0));
	EXPECT_EQ(textureArea(grown, QRect(QPoint(0, 0), QPoint(4, 4)), QSize(60, 20)), QRect(0, 0, 32, 20));
}

} // namespace
