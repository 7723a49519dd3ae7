#pragma once

#include "dock/preview_picture.h"

#include <QWidget>

#include <array>

// The widget that shows the dock's preview. The picture is painted by an opaque child of
// its size, centred, from the layers the preview keeps; a repaint is asked for only when a
// layer or its opacity changed, and it paints nothing beneath the picture again.
class PreviewView : public QWidget {
	Q_OBJECT

public:
	explicit PreviewView(QWidget *parent = nullptr);

	// Composes the picture of a kind for the snapshot, at the widget's width.
	void showSnapshot(const ShowSnapshot &snapshot, int kind);
	// What the widget shows, as one image.
	QImage image() const;

protected:
	void resizeEvent(QResizeEvent *event) override;

private:
	class Canvas;
	void placeCanvas();

	PreviewPicture picture;
	Canvas *canvas;
	struct Drawn {
		uint64_t version = 0;
		double opacity = 0;
		bool operator==(const Drawn &other) const
		{
			return version == other.version && opacity == other.opacity;
		}
	};
	std::array<Drawn, frameLayerCount> drawn{};
};
