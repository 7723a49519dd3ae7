#pragma once

#include <QImage>
#include <QString>

// A QR code of a link for a phone's camera: black modules on white with the quiet zone
// around them, `scale` pixels a module. A null image when the text does not fit.
QImage crewQrCode(const QString &text, int scale = 4);
