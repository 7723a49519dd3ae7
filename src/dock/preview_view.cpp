#include "dock/preview_view.h"

#include <QPainter>

class PreviewView::Canvas : public QWidget {
public:
	Canvas(const PreviewPicture &picture, QWidget *parent) : QWidget(parent), picture(picture)
	{
		// The checkerboard covers every pixel: nothing beneath needs painting first.
		setAttribute(Qt::WA_OpaquePaintEvent);
	}

protected:
	void paintEvent(QPaintEvent *) override
	{
		QPainter painter(this);
		picture.paint(painter);
	}

private:
	const PreviewPicture &picture;
};

PreviewView::PreviewView(QWidget *parent) : QWidget(parent), canvas(new Canvas(picture, this))
{
	setMinimumHeight(60);
	setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PreviewView::showSnapshot(const ShowSnapshot &snapshot, int kind)
{
	const LayeredFrame &frame = picture.compose(snapshot, kind, previewWidth(width()));
	bool changed = false;
	for (int index = 0; index < frameLayerCount; ++index) {
		const FrameLayer &layer = frame.layers[index];
		const Drawn now{layer.image.isNull() ? 0 : layer.version, layer.opacity};
		changed |= !(now == drawn[index]);
		drawn[index] = now;
	}
	if (picture.size() != canvas->size()) {
		canvas->resize(picture.size());
		setFixedHeight(picture.size().height() + 4);
		placeCanvas();
	} else if (changed) {
		canvas->update();
	}
}

QImage PreviewView::image() const
{
	return picture.image();
}

void PreviewView::resizeEvent(QResizeEvent *)
{
	placeCanvas();
}

void PreviewView::placeCanvas()
{
	canvas->move((width() - canvas->width()) / 2, (height() - canvas->height()) / 2);
}
