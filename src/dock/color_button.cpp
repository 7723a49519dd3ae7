#include "dock/color_button.h"

#include "base/module_host.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

ColorButton::ColorButton()
{
	connect(this, &QPushButton::clicked, this, &ColorButton::chooseColor);
}

void ColorButton::setColor(const QColor &color)
{
	current = color;
	QPixmap swatch(28, 14);
	swatch.fill(color);
	{
		QPainter painter(&swatch);
		painter.setPen(QColor(128, 128, 128));
		painter.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
	}
	setIcon(QIcon(swatch));
	setIconSize(swatch.size());
	setText(color.name(QColor::HexRgb).toUpper());
}

void ColorButton::chooseColor()
{
	if (onOpening)
		onOpening();
	const QColor chosen = QColorDialog::getColor(current, this, moduleText("Text.PickColor"));
	if (!chosen.isValid() || chosen.rgba() == current.rgba())
		return;
	setColor(chosen);
	if (onChanged)
		onChanged();
}
