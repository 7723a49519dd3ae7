#pragma once

#include <QColor>
#include <QPushButton>

#include <functional>

// Shows a colour as a swatch and its hex name; a click asks for another one.
class ColorButton : public QPushButton {
	Q_OBJECT

public:
	ColorButton();

	// Runs as the colour dialog opens.
	std::function<void()> onOpening;
	// Runs only after the user chose a different, valid colour.
	std::function<void()> onChanged;

	QColor color() const { return current; }
	// Shows the colour; never runs `onChanged`.
	void setColor(const QColor &color);

private:
	void chooseColor();

	QColor current;
};
