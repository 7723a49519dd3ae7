#include "picture/frame_composer.h"

#include "picture/fonts.h"
#include "picture/frame_layout.h"
#include "picture/frame_motion.h"
#include "picture/glyph_draw.h"
#include "picture/glyph_images.h"
#include "picture/messages.h"
#include "picture/text_geometry.h"
#include "picture/text_layer.h"
#include "picture/text_paths.h"
#include "settings/preset.h"
#include "show/show_state.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

void scaleAbout(QPainter &painter, const QPointF &anchor, double factor)
{
	painter.translate(anchor);
	painter.scale(factor, factor);
	painter.translate(-anchor);
}

// The words that tell one drawing of a layer from another.
QString shownTokens(const TimeTokens &tokens)
{
	QString words;
	for (const TimeToken &token : tokens)
		words += token.text + QChar(0x1f);
	return words;
}

QString exactNumber(double value)
{
	return QString::number(value, 'g', 17);
}

void drawTitle(QPainter &painter, const Preset &preset, const StandbyLayout &layout, const GlyphImages *glyphs)
{
	if (layout.titleIsPicture)
		drawGlyphAligned(painter, layout.titleRect, layout.titleHeight, *glyphPicture(glyphs, GlyphTitle),
				 preset.style.align);
	else
		drawTextLayer(painter, preset.style, layout.titleFont, preset.title.trimmed(), layout.titleRect);
}

// Where a time row goes: its width measured with zeros, its left and its baseline.
struct TimePlace {
	TimePlace(const Preset &preset, const StandbyLayout &layout, const TimeTokens &tokens)
	    : width(rowWidth(zeroDigits(tokens), layout.row)),
	      left(alignedLeft(layout.centreRect, width, preset.style.align)), centreY(layout.timeRect.center().y()),
	      baseline(centreY - layout.zeroTop - layout.zeroHeight * 0.5)
	{
	}
	double width;
	double left;
	double centreY;
	double baseline;
};

void drawTime(QPainter &painter, const Preset &preset, const StandbyLayout &layout, const QPointF &anchor,
	      const TimeTokens &tokens, const RowMotion &motion)
{
	const TimePlace place(preset, layout, tokens);
	const double width = place.width;
	const double x = place.left;
	const double centreY = place.centreY;
	const double baseline = place.baseline;

	painter.save();
	// A time wider than measured (ten hours or more of an until-time countdown) is squeezed in.
	if (width > layout.centreRect.width())
		scaleAbout(painter, anchor, layout.centreRect.width() / width);
	painter.translate(0, -motion.liftShare * layout.timeRect.height());
	scaleAbout(painter, anchor, motion.scale);
	drawTokenRow(painter, tokens, layout.row, x, baseline, centreY, preset.style);
	painter.restore();
}

// The end or hold text; `pop` is the size of the end text as it pops in, none while held.
void drawEnd(QPainter &painter, const ShowSnapshot &snapshot, const StandbyLayout &layout, const QPointF &anchor,
	     const QString &text, bool usePicture, std::optional<double> pop)
{
	const Preset &preset = snapshot.preset;
	painter.save();
	if (pop)
		scaleAbout(painter, anchor, *pop);
	const QRectF box(layout.centreRect.x(), anchor.y() - layout.centreRect.height() / 2, layout.centreRect.width(),
			 layout.centreRect.height());
	if (usePicture)
		drawGlyphAligned(painter, box, layout.endHeight, *glyphPicture(snapshot.glyphs.get(), GlyphEnd),
				 preset.style.align);
	else
		drawTextLayer(painter, preset.style, layout.endFont, text, box);
	painter.restore();
}

void drawBreak(QPainter &painter, const ShowSnapshot &snapshot, const BreakLayout &layout, const TimeTokens &tokens)
{
	const Preset &preset = snapshot.preset;
	double x = layout.rowRect.x();
	if (layout.labelWidth > 0) {
		if (layout.labelIsPicture) {
			drawGlyph(painter, QRectF(x, layout.rowRect.y(), layout.labelWidth, layout.rowRect.height()),
				  *glyphPicture(snapshot.glyphs.get(), GlyphBreak));
		} else {
			QPainterPath path;
			path.addText(x, layout.baseline, layout.font, layout.label);
			drawOutlinedPath(painter, path, preset.style, fillStrokeWidth(preset.style, layout.font));
		}
		x += layout.labelGap + layout.labelWidth;
	}
	drawTokenRow(painter, tokens, layout.row, x, layout.baseline, layout.rowRect.center().y(), preset.style);
}

bool hasArea(const QRectF &rect)
{
	return rect.width() > 0 && rect.height() > 0;
}

} // namespace

FrameComposer::FrameComposer(int kind_, double scale_)
    : kind(kind_ == KindBreak ? KindBreak : KindStandby), scale(std::clamp(scale_, 0.02, 4.0))
{
}

FrameComposer::~FrameComposer() = default;

const LayeredFrame &FrameComposer::compose(const ShowSnapshot &snapshot)
{
	measure(snapshot);
	if (kind == KindBreak)
		composeBreak(snapshot);
	else
		composeStandby(snapshot);
	return frame;
}

void FrameComposer::measure(const ShowSnapshot &snapshot)
{
	if (generation == snapshot.pictureGeneration)
		return;
	generation = snapshot.pictureGeneration;
	QSize natural;
	if (kind == KindBreak) {
		breakLayout = std::make_unique<BreakLayout>(snapshot.preset, snapshot.glyphs.get(), snapshot.texts);
		natural = breakLayout->naturalSize;
	} else {
		standby = std::make_unique<StandbyLayout>(snapshot.preset, snapshot.glyphs.get(), snapshot.texts);
		natural = standby->naturalSize;
	}
	frame.size = QSize(std::max(1, static_cast<int>(std::lround(natural.width() * scale))),
			   std::max(1, static_cast<int>(std::lround(natural.height() * scale))));
	shown.fill(std::nullopt);
	plainTimeRow.reset();
}

// Draws a layer again only when what it shows changed; an empty `shown` leaves it empty.
template<typename Draw> void FrameComposer::setLayer(int index, const QString &words, double opacity, Draw draw)
{
	FrameLayer &layer = frame.layers[size_t(index)];
	layer.opacity = opacity;
	if (shown[size_t(index)] == words)
		return;
	shown[size_t(index)] = words;
	layer.version = nextLayerVersion();
	layer.image = QImage();
	if (words.isEmpty())
		return;
	layer.image = QImage(frame.size, QImage::Format_ARGB32_Premultiplied);
	layer.image.fill(Qt::transparent);
	QPainter painter(&layer.image);
	painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
	painter.scale(scale, scale);
	draw(painter);
	painter.end();
}

void FrameComposer::composeStandby(const ShowSnapshot &snapshot)
{
	const StandbyLayout &layout = *standby;
	const Preset &preset = snapshot.preset;
	const GlyphImages *glyphs = snapshot.glyphs.get();
	const bool counting = snapshot.zeroAt() < 0;
	const QString endText = (snapshot.held ? preset.holdText : preset.end_text).trimmed();
	const bool useEndPicture = !snapshot.held && layout.endIsPicture;
	const QPointF anchor(alignAnchor(layout.centreRect, preset.style.align), layout.timeRect.center().y());

	setLayer(LayerStill, hasArea(layout.titleRect) ? QStringLiteral("title") : QString(), 1.0,
		 [&](QPainter &painter) { drawTitle(painter, preset, layout, glyphs); });

	if (counting || (!snapshot.held && !useEndPicture && endText.isEmpty())) {
		composeTime(snapshot, anchor, counting);
	} else {
		plainTimeRow.reset();
		std::optional<double> pop;
		if (!snapshot.held)
			pop = endPopScale(snapshot.nowMono - snapshot.zeroAt());
		setLayer(LayerCentre,
			 QStringLiteral("end %1 %2 %3")
				 .arg(endText, useEndPicture ? QStringLiteral("picture") : QStringLiteral("text"),
				      exactNumber(pop.value_or(0))),
			 1.0, [&](QPainter &painter) {
				 drawEnd(painter, snapshot, layout, anchor, endText, useEndPicture, pop);
			 });
	}

	const ShownMessage message =
		hasArea(layout.messageRect) ? currentMessage(layout.messages, snapshot.nowMono) : ShownMessage();
	setLayer(LayerMessage, message.line, message.opacity, [&](QPainter &painter) {
		drawTextLayer(painter, preset.style, layout.messageFont, message.line, layout.messageRect);
	});
}

void FrameComposer::composeTime(const ShowSnapshot &snapshot, const QPointF &anchor, bool counting)
{
	const StandbyLayout &layout = *standby;
	const Preset &preset = snapshot.preset;
	const int64_t left = snapshot.remainingMs();
	const TimeTokens tokens = standbyTimeTokens(left, preset, snapshot.texts);
	const RowMotion motion = lastTenMotion(preset.last_ten, snapshot.countdown.phase, counting, left);
	const QString words =
		QStringLiteral("time %1 %2 %3")
			.arg(shownTokens(tokens), exactNumber(motion.liftShare), exactNumber(motion.scale));
	if (shown[LayerCentre] == words)
		return;
	const TimePlace place(preset, layout, tokens);
	// Drawn with the layer's scale alone: not moving, not squeezed into the row.
	const bool plain = motion.liftShare == 0 && motion.scale == 1 && place.width <= layout.centreRect.width();
	FrameLayer &layer = frame.layers[LayerCentre];
	if (plain && plainTimeRow && !layer.image.isNull() &&
	    patchTokenRow(layer.image, *plainTimeRow, tokens, layout.row, place.left, place.baseline, preset.style,
			  scale)) {
		shown[LayerCentre] = words;
		layer.version = nextLayerVersion();
	} else {
		setLayer(LayerCentre, words, 1.0,
			 [&](QPainter &painter) { drawTime(painter, preset, layout, anchor, tokens, motion); });
	}
	plainTimeRow = plain ? std::optional<TimeTokens>(tokens) : std::nullopt;
}

void FrameComposer::composeBreak(const ShowSnapshot &snapshot)
{
	const TimeTokens tokens = breakTimeTokens(snapshot.breakRemainingMs(), snapshot.preset, snapshot.texts);
	setLayer(LayerStill, QString(), 1.0, [](QPainter &) {});
	setLayer(LayerCentre, QStringLiteral("break ") + shownTokens(tokens), 1.0,
		 [&](QPainter &painter) { drawBreak(painter, snapshot, *breakLayout, tokens); });
	setLayer(LayerMessage, QString(), 1.0, [](QPainter &) {});
}

QImage composeFrame(const ShowSnapshot &snapshot, int kind, double scale)
{
	FrameComposer composer(kind, scale);
	return flattenLayers(composer.compose(snapshot));
}
