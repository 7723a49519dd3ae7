// Free text reaches the preset 400 ms after the typing stops, in one save, or at once
// before an action needs it.
#include "dock_fixture.h"

#include "module/frontend_events.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

TEST_F(DockTest, TypingBurstSavesOnceAfterThePause)
{
	makeDock();
	auto *title = control<QLineEdit>("titleEdit");
	QTest::keyClicks(title, QStringLiteral("Live tonight"));
	EXPECT_EQ(saves(), 0) << "nothing is saved while typing";
	EXPECT_TRUE(writtenPreset().isEmpty());
	ASSERT_TRUE(textTimer()->isActive()) << "each keystroke restarts the pause";
	EXPECT_TRUE(textTimer()->isSingleShot());
	EXPECT_EQ(textTimer()->interval(), 400);

	firePendingTexts();
	EXPECT_EQ(saves(), 1) << "one save for the whole burst";
	EXPECT_EQ(currentPreset().title, QStringLiteral("Live tonight"));
	EXPECT_EQ(writtenPreset().value(QStringLiteral("title")).toString(), QStringLiteral("Live tonight"));
	EXPECT_EQ(showState().snapshot().preset.title, QStringLiteral("Live tonight")) << "the show uses it at once";
	EXPECT_FALSE(textTimer()->isActive());
}

TEST_F(DockTest, EachKeystrokeStartsThePauseAgain)
{
	makeDock();
	auto *endText = control<QLineEdit>("endTextEdit");
	QTest::keyClicks(endText, QStringLiteral("Go"));
	QTest::qWait(100); // the only real wait: long enough to see the pause run down
	const int beforeKey = textTimer()->remainingTime();
	QTest::keyClicks(endText, QStringLiteral("!"));
	const int afterKey = textTimer()->remainingTime();
	// Coarse timers may be off by 5 % (20 ms) either way.
	EXPECT_GE(afterKey - beforeKey, 50) << "the last key gives the full 400 ms again";
	EXPECT_EQ(saves(), 0);

	firePendingTexts();
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().end_text, QStringLiteral("Go!"));
}

TEST_F(DockTest, AllTextsGoInOneEdit)
{
	makeDock();
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("T"));
	control<QPlainTextEdit>("messagesEdit")->setPlainText(QStringLiteral("  one  \n\n   \ntwo\n"));
	control<QLineEdit>("endTextEdit")->setText(QStringLiteral("E"));
	control<QLineEdit>("holdTextEdit")->setText(QStringLiteral("H"));
	control<QLineEdit>("breakTextEdit")->setText(QStringLiteral("B"));
	firePendingTexts();
	EXPECT_EQ(saves(), 1);
	const Preset &preset = currentPreset();
	EXPECT_EQ(preset.title, QStringLiteral("T"));
	EXPECT_EQ(preset.messages, (QStringList{QStringLiteral("one"), QStringLiteral("two")}))
		<< "trimmed, blank lines dropped";
	EXPECT_EQ(preset.end_text, QStringLiteral("E"));
	EXPECT_EQ(preset.holdText, QStringLiteral("H"));
	EXPECT_EQ(preset.break_text, QStringLiteral("B"));
	EXPECT_EQ(writtenPreset().value(QStringLiteral("messages")).toString(), QStringLiteral("one\ntwo"));
}

TEST_F(DockTest, MessagesShowJoinedByLineFeeds)
{
	loadPresets(R"({"presets": [{"name": "P", "messages": "one\ntwo"}]})");
	makeDock();
	EXPECT_EQ(control<QPlainTextEdit>("messagesEdit")->toPlainText(), QStringLiteral("one\ntwo"));
}

TEST_F(DockTest, ActionsThatNeedTheTextFlushItFirst)
{
	makeDock();
	QString titleAtCall;
	director->onCall = [&](const std::string &) { titleAtCall = currentPreset().title; };
	for (const char *action : {"standbyButton", "breakButton", "holdButton"}) {
		const QString text = QString::fromLatin1(action);
		control<QLineEdit>("titleEdit")->setText(text);
		control<QPushButton>(action)->click();
		EXPECT_EQ(titleAtCall, text) << action << " sees the text typed just before";
		EXPECT_FALSE(textTimer()->isActive());
	}
	EXPECT_EQ(director->calls, (std::vector<std::string>{"startStandby", "toggleBreak", "toggleHold"}));
}

TEST_F(DockTest, ActionsWithoutTextLeaveTheTimerAlone)
{
	makeDock();
	director->status.step = StepOp;
	showState().setPhase(PhaseOp);
	dock->refreshStatus();
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("typing"));
	control<QPushButton>("mainButton")->click();
	control<QPushButton>("endingButton")->click();
	control<QPushButton>("cancelButton")->click();
	EXPECT_EQ(director->calls, (std::vector<std::string>{"skipToMain", "startEnding", "cancel"}));
	EXPECT_TRUE(textTimer()->isActive()) << "these actions do not wait for the text";
	EXPECT_EQ(currentPreset().title, QString());
	showState().setPhase(PhaseIdle);
}

TEST_F(DockTest, ExitFlushKeepsTextTypedJustBefore)
{
	makeDock();
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("typed at exit"));
	control<QLineEdit>("breakTextEdit")->setText(QStringLiteral("break at exit"));
	// The module's handler of the host's exit event, which writes the configuration.
	handleFrontendEvent(OBS_FRONTEND_EVENT_EXIT, dock.get());
	EXPECT_FALSE(textTimer()->isActive()) << "nothing is left to fire after the module is gone";
	EXPECT_EQ(writtenPreset().value(QStringLiteral("title")).toString(), QStringLiteral("typed at exit"));
	EXPECT_EQ(writtenPreset().value(QStringLiteral("break_text")).toString(), QStringLiteral("break at exit"));
}

TEST_F(DockTest, FlushWithNothingPendingWritesNothing)
{
	makeDock();
	dock->flushTexts();
	EXPECT_EQ(saves(), 0);
	EXPECT_TRUE(writtenPreset().isEmpty());
}

TEST_F(DockTest, ChoosingAnotherPresetKeepsTheTextTypedForTheFirst)
{
	makeDock();
	control<QLineEdit>("titleEdit")->setText(QStringLiteral("for First"));
	control<QComboBox>("presetCombo")->setCurrentIndex(1);
	EXPECT_EQ(presetAt(0).title, QStringLiteral("for First"));
	EXPECT_EQ(currentPreset().name, QStringLiteral("Second"));
	EXPECT_EQ(control<QLineEdit>("titleEdit")->text(), QStringLiteral("Second title"));
	EXPECT_FALSE(textTimer()->isActive()) << "filling from the preset starts no save";
}
