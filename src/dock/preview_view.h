#pragma once

#include "dock/preview_picture.h"

#include <QWidget>

#include <array>

// The widget that shows the dock's preview. It paints the picture's layers itself, and
// asks for a repaint only when a layer or its opacity changed: a new second repaints the
// preview, and nothing around it is laid out again.
class PreviewView : public QWidget {
public:
	explicit PreviewView(QWidget *parent = nullptr);

	// Composes the picture of a kind for the snapshot, at the widget's width.
	void showSnapshot(const ShowSnapshot &snapshot, int kind);
	// What the widget shows, as one image.
	QImage image() const;

protected:
	void paintEvent(QPaintEvent *event) override;

private:
	QPoint pictureOrigin() const;

	PreviewPicture picture;
	struct Drawn {
		uint64_t version = 0;
		double opacity = 0;
		bool operator==(const Drawn &other) const
		{
			return version == other.version && opacity == other.opacity;
		}
	};
	std::array<Drawn, frameLayerCount> drawn{};
	QSize drawnSize;
};
