#include "crew/crew_qr.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

QImage crewQrCode(const QString &text, int scale)
{
	const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
		QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
	if (!code)
		return QImage();
	constexpr int quietZone = 4;
	const int side = (code->width + 2 * quietZone) * scale;
	QImage image(side, side, QImage::Format_Grayscale8);
	image.fill(255);
	for (int y = 0; y < code->width; ++y)
		for (int x = 0; x < code->width; ++x) {
			if (!(code->data[y * code->width + x] & 1))
				continue;
			for (int dy = 0; dy < scale; ++dy) {
				uchar *row = image.scanLine((y + quietZone) * scale + dy);
				std::fill_n(row + (x + quietZone) * scale, scale, uchar(0));
			}
		}
	return image;
}
