// The Text page: the look of the countdown picture (font or font file, size, colours,
// outline, alignment, time format, picture glyphs) and the buttons that put a countdown
// source into a scene.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/color_button.h"
#include "dock/countdown_placement.h"
#include "dock/page_widgets.h"
#include "picture/preset_picture.h"
#include "show/show_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

// A file or folder name that does not stretch its row; the whole path is its tooltip.
QLabel *makePathLabel()
{
	auto *label = new QLabel;
	label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
	return label;
}

} // namespace

QWidget *StandbyDock::buildTextTab()
{
	auto *page = new QWidget;
	QFormLayout *form = makeFormLayout(page);

	fontCombo = named(new QFontComboBox, "fontCombo");
	fontCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
	fontCombo->setMinimumContentsLength(8);
	connect(fontCombo, &QFontComboBox::currentFontChanged, this, &StandbyDock::chooseFont);
	form->addRow(moduleText("Text.Font"), fontCombo);

	auto *fontFileButton = named(new QPushButton(moduleText("Text.FontFilePick")), "fontFileButton");
	fontFileLabel = named(makePathLabel(), "fontFileLabel");
	fontFileClearButton = named(new QPushButton(moduleText("Text.Remove")), "fontFileClearButton");
	fontFileClearButton->setToolTip(moduleText("Text.FontFileClear"));
	connect(fontFileButton, &QPushButton::clicked, this, &StandbyDock::pickFontFile);
	connect(fontFileClearButton, &QPushButton::clicked, this, &StandbyDock::clearFontFile);
	form->addRow(QString(), makeLine({{fontFileButton, 0}, {fontFileLabel, 1}, {fontFileClearButton, 0}}));

	boldCheck = named(new QCheckBox(moduleText("Text.Bold")), "boldCheck");
	connect(boldCheck, &QCheckBox::toggled, this,
		[this](bool on) { editPreset([on](Preset &preset) { preset.style.bold = on; }); });
	form->addRow(QString(), boldCheck);

	sizeSpin =
		named(makeSpin(PresetBounds::minTextSize, PresetBounds::maxTextSize, QStringLiteral("px")), "sizeSpin");
	sizeSpin->setSingleStep(10);
	connect(sizeSpin, qOverload<int>(&QSpinBox::valueChanged), this,
		[this](int size) { editPreset([size](Preset &preset) { preset.style.size = size; }); });
	form->addRow(moduleText("Text.Size"), sizeSpin);

	colorButton = named(new ColorButton, "colorButton");
	bindColorButton(colorButton, &PresetStyle::color);
	form->addRow(moduleText("Text.Color"), colorButton);

	outlineButton = named(new ColorButton, "outlineButton");
	bindColorButton(outlineButton, &PresetStyle::outline);
	outlineWidthSpin = named(makeSpin(0, PresetBounds::maxOutlineWidth, QStringLiteral("px")), "outlineWidthSpin");
	outlineWidthSpin->setPrefix(moduleText("Text.OutlineWidth") + QLatin1Char(' '));
	connect(outlineWidthSpin, qOverload<int>(&QSpinBox::valueChanged), this,
		[this](int width) { editPreset([width](Preset &preset) { preset.style.outline_width = width; }); });
	form->addRow(moduleText("Text.Outline"), makeLine({{outlineButton, 1}, {outlineWidthSpin, 0}}));

	alignCombo = named(makeDataCombo({"Align.Left", "Align.Center", "Align.Right"}), "alignCombo");
	connect(alignCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
		const int align = alignCombo->currentData().toInt();
		editPreset([align](Preset &preset) { preset.style.align = align; });
	});
	form->addRow(moduleText("Text.Align"), alignCombo);

	timeFormatCombo = named(makeDataCombo({"TimeFormat.Colon", "TimeFormat.Units"}), "timeFormatCombo");
	connect(timeFormatCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
		const int format = timeFormatCombo->currentData().toInt();
		editPreset([format](Preset &preset) { preset.style.time_format = format; });
	});
	form->addRow(moduleText("Text.TimeFormat"), timeFormatCombo);

	addImageRows(form);

	auto *addStandby = named(new QPushButton(moduleText("Text.AddStandby")), "addStandbyButton");
	auto *addBreak = named(new QPushButton(moduleText("Text.AddBreak")), "addBreakButton");
	connect(addStandby, &QPushButton::clicked, this, [this] { addCountdownToScene(*host, KindStandby); });
	connect(addBreak, &QPushButton::clicked, this, [this] { addCountdownToScene(*host, KindBreak); });
	form->addRow(addStandby);
	form->addRow(addBreak);
	form->addRow(makeHelpLabel(moduleText("Text.Help")));
	return page;
}

void StandbyDock::addImageRows(QFormLayout *form)
{
	auto *imagePickButton = named(new QPushButton(moduleText("Text.ImagePick")), "imagePickButton");
	imageFolderLabel = named(makePathLabel(), "imageFolderLabel");
	connect(imagePickButton, &QPushButton::clicked, this, &StandbyDock::pickImageFolder);
	form->addRow(moduleText("Text.Images"), makeLine({{imagePickButton, 0}, {imageFolderLabel, 1}}));

	imageReloadButton = named(new QPushButton(moduleText("Text.ImageReload")), "imageReloadButton");
	imageClearButton = named(new QPushButton(moduleText("Text.Remove")), "imageClearButton");
	imageClearButton->setToolTip(moduleText("Text.ImageClear"));
	connect(imageReloadButton, &QPushButton::clicked, this, [this] {
		reloadShownGlyphs(showState());
		updateImageStatus();
	});
	connect(imageClearButton, &QPushButton::clicked, this, [this] {
		editPreset([](Preset &preset) { preset.style.image_folder.clear(); });
		updateImageStatus();
	});
	form->addRow(QString(), makeLine({{imageReloadButton, 0}, {imageClearButton, 0}}, true));

	imageDetailLabel = named(new QLabel, "imageDetailLabel");
	imageDetailLabel->setWordWrap(true);
	form->addRow(QString(), imageDetailLabel);
	form->addRow(makeHelpLabel(moduleText("Text.ImageHelp")));
}
