#include "picture/text_geometry.h"

#include "settings/preset.h"

#include <algorithm>

double styleTextSize(const PresetStyle &style)
{
	return std::clamp(style.size, PresetBounds::minTextSize, PresetBounds::maxTextSize);
}

double styleOutlineWidth(const PresetStyle &style)
{
	return std::clamp(style.outline_width, 0, PresetBounds::maxOutlineWidth);
}

double styleMargin(const PresetStyle &style)
{
	return styleTextSize(style) * 0.08 + styleOutlineWidth(style) + 2;
}

double alignedLeft(const QRectF &rect, double width, int align)
{
	if (align == TextAlignLeft)
		return rect.left();
	if (align == TextAlignRight)
		return rect.left() + rect.width() - width;
	return rect.center().x() - width * 0.5;
}

double alignAnchor(const QRectF &rect, int align)
{
	if (align == TextAlignLeft)
		return rect.left();
	if (align == TextAlignRight)
		return rect.right();
	return rect.center().x();
}
