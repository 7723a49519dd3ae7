// The font file and the picture folder of the Text page: choosing, clearing and the
// status lines that show what is in use.
#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "picture/fonts.h"
#include "picture/glyph_images.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr QChar ideographicComma(0x3001);

} // namespace

void StandbyDock::chooseFont(const QFont &font)
{
	const QString family = font.family();
	// The file stays in use only while the chosen family is the one it provides.
	const bool keepFile = loadFontFile(currentPreset().style.font_file) == family;
	editPreset([family, keepFile](Preset &preset) {
		preset.style.font = family;
		if (!keepFile)
			preset.style.font_file.clear();
	});
	updateFontFileLabel();
}

void StandbyDock::clearFontFile()
{
	const QString family = fallbackFamily();
	editPreset([family](Preset &preset) {
		preset.style.font = family;
		preset.style.font_file.clear();
	});
	showFontFamily(family);
	updateFontFileLabel();
}

void StandbyDock::pickFontFile()
{
	const QString title = moduleText("Text.FontFilePick");
	const PresetMark mark = markPreset();
	const QString path = QFileDialog::getOpenFileName(
		this, title, QString(), moduleText("Text.FontFilter") + QStringLiteral(" (*.ttf *.otf *.ttc)"));
	if (path.isEmpty() || presetChangedSince(mark, "Text.FontFilePick"))
		return;
	const QString family = loadFontFile(path);
	if (family.isEmpty()) {
		QMessageBox::warning(this, title, moduleText("Text.FontFileBad"), QMessageBox::Ok);
		return;
	}
	editPreset([family, path](Preset &preset) {
		preset.style.font = family;
		preset.style.font_file = path;
	});
	showFontFamily(family);
	updateFontFileLabel();
}

void StandbyDock::showFontFamily(const QString &family)
{
	const QSignalBlocker blocker(fontCombo);
	fontCombo->setCurrentFont(QFont(family));
}

void StandbyDock::pickImageFolder()
{
	const PresetMark mark = markPreset();
	const QString folder = QFileDialog::getExistingDirectory(
		this, moduleText("Text.ImagePick"), currentPreset().style.image_folder, QFileDialog::ShowDirsOnly);
	if (folder.isEmpty() || presetChangedSince(mark, "Text.ImagePick"))
		return;
	editPreset([folder](Preset &preset) { preset.style.image_folder = folder; });
	updateImageStatus();
}

void StandbyDock::updateFontFileLabel()
{
	const QString path = currentPreset().style.font_file;
	QString text;
	if (!path.isEmpty()) {
		text = QFileInfo(path).fileName();
		if (!QFileInfo::exists(path))
			text += QLatin1Char(' ') + moduleText("Scene.Missing");
	}
	fontFileLabel->setText(text);
	fontFileLabel->setToolTip(path);
	fontFileClearButton->setEnabled(!path.isEmpty());
}

void StandbyDock::updateImageStatus()
{
	const QString folder = currentPreset().style.image_folder;
	imageReloadButton->setEnabled(!folder.isEmpty());
	imageClearButton->setEnabled(!folder.isEmpty());
	if (folder.isEmpty()) {
		imageFolderLabel->setText(moduleText("Text.ImageNone"));
		imageFolderLabel->setToolTip(QString());
		imageDetailLabel->clear();
		imageDetailLabel->hide();
		return;
	}
	imageFolderLabel->setText(QDir(folder).dirName());
	imageFolderLabel->setToolTip(folder);

	const ShowSnapshot snapshot = showState().snapshot();
	const GlyphImages *glyphs = snapshot.glyphs.get();
	if (!glyphs || !glyphs->exists)
		imageDetailLabel->setText(moduleText("Text.ImageNoFolder"));
	else if (!hasAnyGlyph(*glyphs))
		imageDetailLabel->setText(moduleText("Text.ImageNothing"));
	else
		imageDetailLabel->setText(
			moduleText("Text.ImageFound").arg(glyphStatus(*glyphs).join(ideographicComma)));
	imageDetailLabel->show();
}
