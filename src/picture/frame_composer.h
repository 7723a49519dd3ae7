#pragma once

#include <QImage>

struct ShowSnapshot;

// The countdown picture of a kind (1 break, else standby) for a snapshot of the show, at
// a scale (clamped to 0.02..4) of its natural size: premultiplied ARGB, transparent where
// nothing is drawn. Safe on any thread.
QImage composeFrame(const ShowSnapshot &snapshot, int kind, double scale);
