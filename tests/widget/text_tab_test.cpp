// The Text page: font and font file, colours, picture folder and its status line.
#include "dialog_script.h"
#include "dock_fixture.h"

#include "base/module_host.h"
#include "dock/color_button.h"
#include "picture/fonts.h"
#include "settings/preset_store.h"

#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>

namespace {

const QString dejaVuFile = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
const QString dejaVu = QStringLiteral("DejaVu Sans");

class TextTab : public DockTest {
protected:
	void SetUp() override
	{
		loadPresets(R"({"presets": [{"name": "P", "style": {"font": "FreeSans"}}]})");
		makeDock();
	}
	void chooseFamily(const QString &family) { control<QFontComboBox>("fontCombo")->setCurrentFont(QFont(family)); }
	// Puts the combo on another family without an edit, so choosing `family` is a change.
	void chooseFamilyAgain(const QString &family)
	{
		{
			const QSignalBlocker blocker(control<QFontComboBox>("fontCombo"));
			control<QFontComboBox>("fontCombo")->setCurrentFont(QFont(QStringLiteral("FreeMono")));
		}
		chooseFamily(family);
	}
	void writePicture(const QString &path)
	{
		QImage picture(16, 16, QImage::Format_ARGB32);
		picture.fill(Qt::red);
		ASSERT_TRUE(picture.save(path));
	}

	DialogScript dialogs;
	QTemporaryDir folder;
};

} // namespace

TEST_F(TextTab, FontFileGivesItsFamily)
{
	dialogs.choosePath(dejaVuFile);
	control<QPushButton>("fontFileButton")->click();
	ASSERT_EQ(dialogs.answered(), 1);
	EXPECT_EQ(currentPreset().style.font, dejaVu);
	EXPECT_EQ(currentPreset().style.font_file, dejaVuFile);
	EXPECT_EQ(control<QFontComboBox>("fontCombo")->currentFont().family(), dejaVu);
	EXPECT_EQ(control<QLabel>("fontFileLabel")->text(), QStringLiteral("DejaVuSans.ttf"));
	EXPECT_EQ(control<QLabel>("fontFileLabel")->toolTip(), dejaVuFile);
	EXPECT_TRUE(control<QPushButton>("fontFileClearButton")->isEnabled());
	EXPECT_EQ(saves(), 1) << "showing the family in the combo is no second edit";
}

TEST_F(TextTab, OnlyTheFileFamilyKeepsTheFile)
{
	dialogs.choosePath(dejaVuFile);
	control<QPushButton>("fontFileButton")->click();
	chooseFamilyAgain(dejaVu);
	EXPECT_EQ(currentPreset().style.font_file, dejaVuFile) << "the family the file provides";
	chooseFamily(QStringLiteral("FreeSerif"));
	EXPECT_EQ(currentPreset().style.font, QStringLiteral("FreeSerif"));
	EXPECT_TRUE(currentPreset().style.font_file.isEmpty()) << "another family drops the file";
	EXPECT_TRUE(control<QLabel>("fontFileLabel")->text().isEmpty());
	EXPECT_FALSE(control<QPushButton>("fontFileClearButton")->isEnabled());
}

TEST_F(TextTab, ClearingTheFileGoesToTheFallbackFamily)
{
	dialogs.choosePath(dejaVuFile);
	control<QPushButton>("fontFileButton")->click();
	saves();
	control<QPushButton>("fontFileClearButton")->click();
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().style.font, fallbackFamily());
	EXPECT_TRUE(currentPreset().style.font_file.isEmpty());
}

TEST_F(TextTab, CancelledOrUnusableFontFilesChangeNothing)
{
	const QString bad = folder.filePath(QStringLiteral("broken.ttf"));
	QFile file(bad);
	ASSERT_TRUE(file.open(QIODevice::WriteOnly));
	file.write("not a font");
	file.close();

	dialogs.cancel().choosePath(bad).press(QMessageBox::Ok);
	control<QPushButton>("fontFileButton")->click();
	control<QPushButton>("fontFileButton")->click();
	EXPECT_EQ(dialogs.answered(), 3);
	EXPECT_EQ(dialogs.seen.value(2),
		  moduleText("Text.FontFilePick") + QStringLiteral(": ") + moduleText("Text.FontFileBad"));
	EXPECT_EQ(saves(), 0);
	EXPECT_EQ(currentPreset().style.font, QStringLiteral("FreeSans"));
	EXPECT_TRUE(currentPreset().style.font_file.isEmpty());
}

TEST_F(TextTab, AFontFileThatWentAwayIsMarked)
{
	loadPresets(R"({"presets": [{"name": "P", "style": {"font_file": "/nonexistent/fonts/Gone.ttf"}}]})");
	makeDock();
	EXPECT_EQ(control<QLabel>("fontFileLabel")->text(), QStringLiteral("Gone.ttf ") + moduleText("Scene.Missing"));
	EXPECT_EQ(currentPreset().style.font_file, QStringLiteral("/nonexistent/fonts/Gone.ttf"));
}

TEST_F(TextTab, PictureFolderStatus)
{
	EXPECT_EQ(control<QLabel>("imageFolderLabel")->text(), moduleText("Text.ImageNone"));
	EXPECT_TRUE(control<QLabel>("imageDetailLabel")->isHidden());
	EXPECT_FALSE(control<QPushButton>("imageReloadButton")->isEnabled());
	EXPECT_FALSE(control<QPushButton>("imageClearButton")->isEnabled());

	dialogs.cancel();
	control<QPushButton>("imagePickButton")->click();
	EXPECT_TRUE(currentPreset().style.image_folder.isEmpty()) << "a cancelled folder dialog changes nothing";

	const QString pictures = folder.filePath(QStringLiteral("glyphs"));
	ASSERT_TRUE(QDir().mkpath(pictures));
	dialogs.choosePath(pictures);
	control<QPushButton>("imagePickButton")->click();
	EXPECT_EQ(currentPreset().style.image_folder, pictures);
	EXPECT_EQ(control<QLabel>("imageFolderLabel")->text(), QStringLiteral("glyphs"));
	EXPECT_EQ(control<QLabel>("imageFolderLabel")->toolTip(), pictures);
	EXPECT_EQ(control<QLabel>("imageDetailLabel")->text(), moduleText("Text.ImageNothing"));
	EXPECT_FALSE(control<QLabel>("imageDetailLabel")->isHidden()) << "shown on its page";
	EXPECT_TRUE(control<QPushButton>("imageReloadButton")->isEnabled());

	writePicture(pictures + QStringLiteral("/0.png"));
	writePicture(pictures + QStringLiteral("/colon.png"));
	control<QPushButton>("imageReloadButton")->click();
	EXPECT_EQ(control<QLabel>("imageDetailLabel")->text(),
		  moduleText("Text.ImageFound").arg(QStringLiteral("0") + QChar(0x3001) + moduleText("Glyph.Colon")))
		<< "reload picks up pictures added since";

	control<QPushButton>("imageClearButton")->click();
	EXPECT_TRUE(currentPreset().style.image_folder.isEmpty());
	EXPECT_EQ(control<QLabel>("imageFolderLabel")->text(), moduleText("Text.ImageNone"));
	EXPECT_TRUE(control<QLabel>("imageDetailLabel")->isHidden());
}

TEST_F(TextTab, AFolderThatIsNotThereSaysSo)
{
	loadPresets(R"({"presets": [{"name": "P", "style": {"image_folder": "/nonexistent/curtainup/glyphs"}}]})");
	makeDock();
	EXPECT_EQ(control<QLabel>("imageDetailLabel")->text(), moduleText("Text.ImageNoFolder"));
	EXPECT_EQ(control<QLabel>("imageFolderLabel")->text(), QStringLiteral("glyphs"));
}

TEST_F(TextTab, ColoursAreEditedThroughTheirButtons)
{
	dialogs.chooseColor(QColor(0x11, 0x22, 0x33)).chooseColor(QColor(0x44, 0x55, 0x66));
	control<ColorButton>("colorButton")->click();
	control<ColorButton>("outlineButton")->click();
	EXPECT_EQ(currentPreset().style.color, QColor(0x11, 0x22, 0x33));
	EXPECT_EQ(currentPreset().style.outline, QColor(0x44, 0x55, 0x66));
	EXPECT_EQ(saves(), 2);
	EXPECT_EQ(writtenPreset().value(QStringLiteral("style")).toObject().isEmpty(), false);
}
