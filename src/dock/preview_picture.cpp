#include "dock/preview_picture.h"

#include "picture/frame_composer.h"
#include "picture/frame_layout.h"
#include "show/show_state.h"

#include <QColor>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int maxPreviewHeight = 140;
constexpr int checkerSquare = 8;
constexpr int framePadding = 8;
constexpr int minImageHeight = 40;

QImage checkerboard(const QSize &size)
{
	QImage image(size, QImage::Format_ARGB32_Premultiplied);
	image.fill(QColor(58, 61, 70));
	QPainter painter(&image);
	const QColor light(70, 74, 85);
	for (int row = 0; row * checkerSquare < image.height(); ++row) {
		for (int column = 0; column * checkerSquare < image.width(); ++column) {
			if ((row + column) % 2 != 0)
				painter.fillRect(column * checkerSquare, row * checkerSquare, checkerSquare,
						 checkerSquare, light);
		}
	}
	return image;
}

} // namespace

int previewWidth(int widgetWidth)
{
	return std::clamp(widgetWidth - 8, 160, 360);
}

PreviewPicture::PreviewPicture() = default;

PreviewPicture::~PreviewPicture() = default;

const LayeredFrame &PreviewPicture::compose(const ShowSnapshot &snapshot, int kind, int width)
{
	// Measured again, and drawn from scratch, only when the preset, the kind or the width changed.
	if (!composer || kind != composerKind || width != composerWidth ||
	    composerGeneration != snapshot.pictureGeneration) {
		const QSize natural = measureFrame(snapshot.preset, snapshot.glyphs.get(), kind);
		const double naturalWidth = natural.width() < 2 ? 1.0 : natural.width();
		const double naturalHeight = natural.height() < 2 ? 1.0 : natural.height();
		const double scale = std::min({1.0, width / naturalWidth, maxPreviewHeight / naturalHeight});
		composer = std::make_unique<FrameComposer>(kind, scale);
		composerKind = kind;
		composerWidth = width;
		composerGeneration = snapshot.pictureGeneration;
	}
	frame = &composer->compose(snapshot);
	const QSize size(width, std::max(minImageHeight, frame->size.height() + framePadding));
	if (board.size() != size)
		board = checkerboard(size);
	return *frame;
}

QSize PreviewPicture::size() const
{
	return board.size();
}

void PreviewPicture::paint(QPainter &painter) const
{
	painter.drawImage(0, 0, board);
	if (!frame)
		return;
	const QPoint at((board.width() - frame->size.width()) / 2, (board.height() - frame->size.height()) / 2);
	for (const FrameLayer &layer : frame->layers) {
		if (layer.image.isNull() || layer.opacity <= 0)
			continue;
		painter.setOpacity(layer.opacity);
		painter.drawImage(at, layer.image);
	}
	painter.setOpacity(1);
}

QImage PreviewPicture::image() const
{
	QImage image(size(), QImage::Format_ARGB32_Premultiplied);
	QPainter painter(&image);
	paint(painter);
	return image;
}
