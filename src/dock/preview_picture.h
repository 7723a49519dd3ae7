#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>

class FrameComposer;
struct ShowSnapshot;

// The preview width for a label of that width: a small margin off, within 160..360.
int previewWidth(int labelWidth);

// The dock's preview: the countdown picture of a kind (1 break, else standby) scaled to fit
// the width and a height of 140 (never enlarged), centred on a checkerboard so its
// see-through parts show. It keeps the layers of its last picture, so a new second draws
// only the time again, and a fading message only lays the layers over each other.
class PreviewPicture {
public:
	PreviewPicture();
	~PreviewPicture();
	QImage picture(const ShowSnapshot &snapshot, int kind, int width);

private:
	std::unique_ptr<FrameComposer> composer;
	int composerKind = -1;
	int composerWidth = 0;
	std::optional<uint64_t> composerGeneration;
	QImage board; // the checkerboard of the last picture's size
};
