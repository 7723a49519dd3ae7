#pragma once

#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>

// The parts of a countdown picture that change at a pace of their own, each drawn alone
// into a layer of the picture's full size: the standby title, its centre row (the time, or
// the end or hold text) and its rotating message. The break picture is one centre layer.
enum FrameLayerIndex : int { LayerStill = 0, LayerCentre = 1, LayerMessage = 2 };
constexpr int frameLayerCount = 3;

struct FrameLayer {
	QImage image;         // premultiplied ARGB of the picture's size; null when it shows nothing
	double opacity = 1;   // applied when the layer is drawn over the ones before it
	uint64_t version = 0; // another number whenever the image changes; unique in the process
};

struct LayeredFrame {
	QSize size;
	std::array<FrameLayer, frameLayerCount> layers;
};

// A layer version no layer of this process had before. Any thread.
uint64_t nextLayerVersion();

// The layers drawn one over the other, each with its opacity: the picture as one image.
QImage flattenLayers(const LayeredFrame &frame);
