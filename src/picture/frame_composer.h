#pragma once

#include "picture/clock_text.h"
#include "picture/frame_layers.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QPointF;
struct BreakLayout;
struct ShowSnapshot;
struct StandbyLayout;

// Composes the countdown picture of one kind (1 break, else standby) at one scale (clamped
// to 0.02..4) of its natural size, as layers, and draws again only what changed since its
// last call: the layout is measured once per applied preset, and a layer whose content is
// the same keeps its image and version. Used by one thread at a time.
class FrameComposer {
public:
	FrameComposer(int kind, double scale);
	~FrameComposer();
	FrameComposer(const FrameComposer &) = delete;
	FrameComposer &operator=(const FrameComposer &) = delete;

	// The layers for a snapshot, valid until the next call.
	const LayeredFrame &compose(const ShowSnapshot &snapshot);

private:
	template<typename Draw> void setLayer(int index, const QString &shown, double opacity, Draw draw);
	void measure(const ShowSnapshot &snapshot);
	void composeStandby(const ShowSnapshot &snapshot);
	void composeTime(const ShowSnapshot &snapshot, const QPointF &anchor, bool counting);
	void composeBreak(const ShowSnapshot &snapshot);

	int kind;
	double scale;
	std::optional<uint64_t> generation; // of the snapshot the layout was measured for
	std::unique_ptr<StandbyLayout> standby;
	std::unique_ptr<BreakLayout> breakLayout;
	LayeredFrame frame;
	// What each layer shows, in words; none until it is drawn for the current layout.
	std::array<std::optional<QString>, frameLayerCount> shown;
	// The time row the centre layer holds when it was drawn with the layer's scale alone, so
	// that a new second may draw only the digits that changed.
	std::optional<TimeTokens> plainTimeRow;
};

// The countdown picture of a kind for a snapshot as one image, at a scale of its natural
// size: premultiplied ARGB, transparent where nothing is drawn. Safe on any thread.
QImage composeFrame(const ShowSnapshot &snapshot, int kind, double scale);
