#pragma once

#include <QImage>

struct ShowSnapshot;

// The whole countdown picture of a kind drawn at once, as it was drawn before layers.
QImage composeWholeFrame(const ShowSnapshot &snapshot, int kind, double scale);
