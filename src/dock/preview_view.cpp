#include "dock/preview_view.h"

#include <QPainter>

PreviewView::PreviewView(QWidget *parent) : QWidget(parent)
{
	setMinimumHeight(60);
	setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PreviewView::showSnapshot(const ShowSnapshot &snapshot, int kind)
{
	picture.compose(snapshot, kind, previewWidth(width()));
	bool changed = false;
	for (int index = 0; index < frameLayerCount; ++index) {
		const FrameLayer &layer = picture.layers().layers[index];
		const Drawn now{layer.image.isNull() ? 0 : layer.version, layer.opacity};
		changed |= !(now == drawn[index]);
		drawn[index] = now;
	}
	if (picture.size() != drawnSize) {
		drawnSize = picture.size();
		setFixedHeight(drawnSize.height() + 4);
		update();
	} else if (changed) {
		update(QRect(pictureOrigin(), drawnSize));
	}
}

QImage PreviewView::image() const
{
	QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
	QPainter painter(&image);
	picture.paint(painter);
	return image;
}

QPoint PreviewView::pictureOrigin() const
{
	return QPoint((width() - drawnSize.width()) / 2, (height() - drawnSize.height()) / 2);
}

void PreviewView::paintEvent(QPaintEvent *)
{
	if (drawnSize.isEmpty())
		return;
	QPainter painter(this);
	painter.translate(pictureOrigin());
	picture.paint(painter);
}
