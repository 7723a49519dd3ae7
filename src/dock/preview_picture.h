#pragma once

#include <QImage>

struct ShowSnapshot;

// The preview width for a label of that width: a small margin off, within 160..360.
int previewWidth(int labelWidth);

// The countdown picture of a kind (1 break, else standby) scaled to fit the width and a
// height of 140 (never enlarged), centred on a checkerboard so its see-through parts show.
QImage previewPicture(const ShowSnapshot &snapshot, int kind, int width);
