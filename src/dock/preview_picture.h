#pragma once

#include "picture/frame_layers.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>

class FrameComposer;
class QPainter;
struct ShowSnapshot;

// The preview width for a widget of that width: a small margin off, within 160..360.
int previewWidth(int widgetWidth);

// The dock's preview: the countdown picture of a kind (1 break, else standby) scaled to fit
// the width and a height of 140 (never enlarged), centred on a checkerboard so its
// see-through parts show. It keeps the layers of its last picture, so a new second draws
// only the time again, and a fading message only lays the layers over each other.
class PreviewPicture {
public:
	PreviewPicture();
	~PreviewPicture();

	// Composes the picture for a snapshot: its layers, valid until the next call.
	const LayeredFrame &compose(const ShowSnapshot &snapshot, int kind, int width);
	// The checkerboard's size: the width, the picture's height and a margin.
	QSize size() const;
	// The checkerboard and the layers over it, the board's top left at the painter's origin.
	void paint(QPainter &painter) const;
	// What paint() draws, as one image.
	QImage image() const;

private:
	std::unique_ptr<FrameComposer> composer;
	const LayeredFrame *frame = nullptr;
	int composerKind = -1;
	int composerWidth = 0;
	std::optional<uint64_t> composerGeneration;
	QImage board; // the checkerboard of the last picture's size
};
