// The preset row's dialogs, answered as an operator would.
#include "dialog_script.h"
#include "dock_fixture.h"

#include "show/show_state.h"
#include "log_capture.h"
#include "base/module_host.h"
#include "settings/preset_store.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

class PresetDialogs : public DockTest {
protected:
	void SetUp() override
	{
		loadPresets(R"({"current": 0, "presets": [{"name": "First", "title": "one"},
			{"name": "Second", "title": "two"}]})");
		makeDock();
		forgetWrites();
	}
	void TearDown() override
	{
		showState().resetCountdown();
		DockTest::TearDown();
	}

	void click(const char *button) { control<QPushButton>(button)->click(); }
	QStringList comboNames() const
	{
		QStringList names;
		auto *combo = control<QComboBox>("presetCombo");
		for (int i = 0; i < combo->count(); ++i)
			names.append(combo->itemText(i));
		return names;
	}
	QStringList presetNames() const
	{
		QStringList names;
		for (int i = 0; i < presetCount(); ++i)
			names.append(presetAt(i).name);
		return names;
	}

	// A standby hotkey pressed while the next dialog is open starts the show.
	DialogScript &showStartsDuringNextDialog()
	{
		director->startsCountdown = true;
		return dialogs.whileOpen([this] { director->startStandby(); });
	}
	// The answer came too late: refused with the locked row's message, nothing changed.
	void expectRefused(const char *titleKey)
	{
		EXPECT_EQ(dialogs.seen.last(),
			  moduleText(titleKey) + QStringLiteral(": ") + moduleText("Preset.Locked"));
		EXPECT_EQ(dialogs.unexpected(), 0);
		EXPECT_EQ(presetNames(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
		EXPECT_EQ(currentIndex(), 0);
		EXPECT_EQ(presetAt(1).title, QStringLiteral("two"));
		EXPECT_TRUE(writtenPreset().isEmpty());
	}

	DialogScript dialogs;
};

} // namespace

TEST_F(PresetDialogs, SaveAsProposesAFreeNameAndAddsThePreset)
{
	LogCapture log;
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("typed"));
	dialogs.enterText(QStringLiteral("  Third  "));
	click("saveAsButton");
	EXPECT_EQ(dialogs.seen, (QStringList{moduleText("Preset.SaveAs") + QStringLiteral(": ") +
					     moduleText("Preset.NamePrompt") + QStringLiteral(" [First 2]")}));
	EXPECT_EQ(presetNames(),
		  (QStringList{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")}));
	EXPECT_EQ(currentIndex(), 2);
	EXPECT_EQ(currentPreset().title, QStringLiteral("typed")) << "text typed just before goes with it";
	EXPECT_EQ(presetAt(0).title, QStringLiteral("typed")) << "and was applied to the preset it was typed for";
	EXPECT_EQ(comboNames(), presetNames());
	EXPECT_EQ(control<QComboBox>("presetCombo")->currentIndex(), 2);
	EXPECT_EQ(log.count("[curtainup] preset 'Third' saved"), 1);
	EXPECT_EQ(writtenPreset().value(QStringLiteral("name")).toString(), QStringLiteral("Third"));
}

TEST_F(PresetDialogs, CancelledOrEmptyNamesChangeNothing)
{
	dialogs.cancel().enterText(QStringLiteral("   ")).cancel().enterText(QString());
	click("saveAsButton");
	click("saveAsButton");
	click("renameButton");
	click("renameButton");
	EXPECT_EQ(dialogs.answered(), 4);
	EXPECT_EQ(dialogs.unexpected(), 0);
	EXPECT_EQ(presetNames(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
	EXPECT_EQ(saves(), 0);
	EXPECT_TRUE(writtenPreset().isEmpty());
}

TEST_F(PresetDialogs, SavingUnderItsOwnNameAsksNothingMore)
{
	dialogs.enterText(QStringLiteral("First"));
	click("saveAsButton");
	EXPECT_EQ(dialogs.answered(), 1);
	EXPECT_EQ(dialogs.unexpected(), 0) << "no overwrite question";
	EXPECT_EQ(presetCount(), 2);
	EXPECT_TRUE(writtenPreset().isEmpty());
}

TEST_F(PresetDialogs, SavingOverAnotherPresetAsksFirst)
{
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("new title"));
	dialogs.enterText(QStringLiteral("Second")).press(QMessageBox::No);
	click("saveAsButton");
	EXPECT_EQ(dialogs.seen.value(1), moduleText("Preset.SaveAs") + QStringLiteral(": ") +
						 moduleText("Preset.Overwrite").arg(QStringLiteral("Second")));
	EXPECT_EQ(presetAt(1).title, QStringLiteral("two")) << "No leaves the other preset alone";
	EXPECT_EQ(currentIndex(), 0);
	EXPECT_EQ(presetCount(), 2);

	dialogs.enterText(QStringLiteral("Second")).press(QMessageBox::Yes);
	click("saveAsButton");
	EXPECT_EQ(currentIndex(), 1);
	EXPECT_EQ(currentPreset().name, QStringLiteral("Second"));
	EXPECT_EQ(currentPreset().title, QStringLiteral("new title"));
	EXPECT_EQ(presetAt(0).title, QStringLiteral("new title"));
	EXPECT_EQ(presetCount(), 2);
	EXPECT_EQ(control<QComboBox>("presetCombo")->currentIndex(), 1);
	EXPECT_EQ(writtenPreset().value(QStringLiteral("title")).toString(), QStringLiteral("new title"));
	EXPECT_EQ(dialogs.unexpected(), 0);
}

TEST_F(PresetDialogs, RenameRefusesANameInUse)
{
	dialogs.enterText(QStringLiteral("Second")).press(QMessageBox::Ok);
	click("renameButton");
	EXPECT_EQ(dialogs.seen.value(1), moduleText("Preset.Rename") + QStringLiteral(": ") +
						 moduleText("Preset.NameUsed").arg(QStringLiteral("Second")));
	EXPECT_EQ(presetNames(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
	EXPECT_TRUE(writtenPreset().isEmpty());

	dialogs.enterText(QStringLiteral("First"));
	click("renameButton");
	EXPECT_TRUE(writtenPreset().isEmpty()) << "the same name is no rename";

	dialogs.enterText(QStringLiteral("Renamed "));
	click("renameButton");
	EXPECT_EQ(presetNames(), (QStringList{QStringLiteral("Renamed"), QStringLiteral("Second")}));
	EXPECT_EQ(comboNames(), presetNames());
	EXPECT_EQ(writtenPreset().value(QStringLiteral("name")).toString(), QStringLiteral("Renamed"));
	EXPECT_EQ(dialogs.unexpected(), 0);
}

TEST_F(PresetDialogs, RemoveAsksAndDropsPendingText)
{
	control<QComboBox>("presetCombo")->setCurrentIndex(1);
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("typed into Second"));
	dialogs.press(QMessageBox::No);
	click("removeButton");
	EXPECT_EQ(presetCount(), 2);
	EXPECT_EQ(dialogs.seen.value(0), moduleText("Preset.Remove") + QStringLiteral(": ") +
						 moduleText("Preset.RemoveConfirm").arg(QStringLiteral("Second")));

	dialogs.press(QMessageBox::Yes);
	click("removeButton");
	EXPECT_EQ(presetNames(), (QStringList{QStringLiteral("First")}));
	EXPECT_EQ(currentPreset().title, QStringLiteral("one")) << "the typed text went with its preset";
	EXPECT_FALSE(textTimer()->isActive());
	EXPECT_EQ(control<QLineEdit>("titleEdit")->text(), QStringLiteral("one"));
	EXPECT_FALSE(control<QPushButton>("removeButton")->isEnabled()) << "the last preset cannot go";

	click("removeButton"); // a disabled button does nothing, and no question comes
	EXPECT_EQ(dialogs.unexpected(), 0);
	EXPECT_EQ(presetCount(), 1);
}

TEST_F(PresetDialogs, SaveAsNameGivenAfterTheShowStartedIsRefused)
{
	showStartsDuringNextDialog().enterText(QStringLiteral("Third")).press(QMessageBox::Ok);
	click("saveAsButton");
	expectRefused("Preset.SaveAs");
}

TEST_F(PresetDialogs, OverwriteConfirmedAfterTheShowStartedIsRefused)
{
	dialogs.enterText(QStringLiteral("Second"));
	showStartsDuringNextDialog().press(QMessageBox::Yes).press(QMessageBox::Ok);
	click("saveAsButton");
	expectRefused("Preset.SaveAs");
}

TEST_F(PresetDialogs, RenameGivenAfterTheShowStartedIsRefused)
{
	showStartsDuringNextDialog().enterText(QStringLiteral("Renamed")).press(QMessageBox::Ok);
	click("renameButton");
	expectRefused("Preset.Rename");
}

TEST_F(PresetDialogs, RemoveConfirmedAfterTheShowStartedIsRefused)
{
	showStartsDuringNextDialog().press(QMessageBox::Yes).press(QMessageBox::Ok);
	click("removeButton");
	expectRefused("Preset.Remove");
}

TEST_F(PresetDialogs, AWaitingStepLocksTheRowToo)
{
	dialogs.whileOpen([this] { director->status.step = StepGoingMain; })
		.press(QMessageBox::Yes)
		.press(QMessageBox::Ok);
	click("removeButton");
	expectRefused("Preset.Remove");
}

TEST_F(PresetDialogs, ADialogActsOnlyOnThePresetItWasOpenedFor)
{
	// Another tool chooses "Second" while the dialog is open: the answer is refused with a
	// message, and neither preset changes.
	const auto otherChosen = [this]() -> DialogScript & { return dialogs.whileOpen([] { selectPreset(1); }); };
	const struct {
		const char *button;
		std::function<void()> answers;
		const char *titleKey;
	} cases[] = {
		{"saveAsButton", [&] { otherChosen().enterText(QStringLiteral("Third")); }, "Preset.SaveAs"},
		{"saveAsButton",
		 [&] {
			 dialogs.enterText(QStringLiteral("Second"));
			 otherChosen().press(QMessageBox::Yes);
		 },
		 "Preset.SaveAs"},
		{"renameButton", [&] { otherChosen().enterText(QStringLiteral("Renamed")); }, "Preset.Rename"},
		{"removeButton", [&] { otherChosen().press(QMessageBox::Yes); }, "Preset.Remove"},
		{"fontFileButton",
		 [&] { otherChosen().choosePath(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")); },
		 "Text.FontFilePick"},
		{"imagePickButton", [&] { otherChosen().choosePath(QStringLiteral("/tmp")); }, "Text.ImagePick"},
		{"colorButton", [&] { otherChosen().chooseColor(Qt::green); }, "Text.PickColor"},
	};
	const Preset second = presetAt(1);
	for (const auto &dialog : cases) {
		selectPreset(0);
		dialog.answers();
		dialogs.press(QMessageBox::Ok);
		click(dialog.button);
		EXPECT_TRUE(dialogs.done()) << dialog.button;
		EXPECT_EQ(dialogs.seen.last(),
			  moduleText(dialog.titleKey) + QStringLiteral(": ") + moduleText("Preset.ChangedMeanwhile"))
			<< dialog.button;
		EXPECT_EQ(presetNames(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}))
			<< dialog.button;
		const Preset now = presetAt(1);
		EXPECT_EQ(now.style.color, second.style.color) << dialog.button;
		EXPECT_EQ(now.style.font_file, second.style.font_file) << dialog.button;
		EXPECT_EQ(now.style.image_folder, second.style.image_folder) << dialog.button;
		EXPECT_EQ(presetAt(0).title, QStringLiteral("one")) << dialog.button;
	}
	EXPECT_EQ(dialogs.unexpected(), 0);
}
