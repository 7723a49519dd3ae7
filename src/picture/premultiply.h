#pragma once

#include <QImage>

// Premultiplies a straight-alpha ARGB32 image (converted to it first if it is not) in
// linear light and re-encodes the colour as sRGB, so that an sRGB texture blended as
// premultiplied "over" gives correct edges. Opaque pixels keep their bytes; fully
// transparent ones become 0.
void premultiplyLinear(QImage &image);
