// The status lines, the action buttons, the hold style, the preset lock and the preview.
#include "dock_fixture.h"

#include "dock/dock_status.h"
#include "dock/preview_view.h"
#include "show/show_state.h"
#include "fake_clock.h"
#include "base/module_host.h"
#include "settings/config.h"
#include "settings/preset_store.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

ShowSnapshot snapshotIn(int phase, int64_t remainingMs = 0)
{
	ShowSnapshot snapshot;
	snapshot.nowMono = 100000;
	snapshot.countdown.phase = phase;
	snapshot.countdown.endsAt = snapshot.nowMono + remainingMs;
	snapshot.breakActive = phase == PhaseBreak;
	snapshot.breakEndsAt = snapshot.nowMono + remainingMs;
	return snapshot;
}

QString text(const char *key)
{
	return moduleText(key);
}

class DockStatusLines : public DockTest {
protected:
	void SetUp() override
	{
		DockTest::SetUp();
		makeDock();
	}
	void TearDown() override
	{
		showState().resetCountdown();
		showState().setHeld(false);
		DockTest::TearDown();
	}
	QString labelText(const char *name) const { return control<QLabel>(name)->text(); }
	QPushButton *button(const char *name) const { return control<QPushButton>(name); }

	FakeClock clock;
};

} // namespace

TEST(DockStatus, StandbyShowsTheTimeLeft)
{
	FlowStatus flow;
	const DockStatus status = composeDockStatus(snapshotIn(PhaseStandby, 65300), flow);
	EXPECT_EQ(status.large, text("Count.Left").arg(QStringLiteral("01:06")));
	EXPECT_EQ(status.detail, text("State.Standby"));
	EXPECT_EQ(status.standbyText, text("Act.Restart"));
	EXPECT_TRUE(status.mainEnabled);
	EXPECT_FALSE(status.presetsUnlocked);
	EXPECT_EQ(composeDockStatus(snapshotIn(PhaseStandby, 3723000), flow).large,
		  text("Count.Left").arg(QStringLiteral("1:02:03")));
}

TEST(DockStatus, AfterZeroCountsTheWaitUp)
{
	FlowStatus flow;
	flow.step = StepAfterZero;
	flow.afterZeroDeadline = 100000 + 2100;
	flow.hasOpScene = true;
	EXPECT_EQ(composeDockStatus(snapshotIn(PhaseStandby), flow).detail, text("State.AfterZeroOp").arg(3));
	flow.hasOpScene = false;
	flow.afterZeroDeadline = 90000;
	EXPECT_EQ(composeDockStatus(snapshotIn(PhaseStandby), flow).detail, text("State.AfterZeroMain").arg(0));
}

TEST(DockStatus, OpAndBreakLines)
{
	FlowStatus flow;
	flow.step = StepOpNoMedia;
	DockStatus status = composeDockStatus(snapshotIn(PhaseOp), flow);
	EXPECT_EQ(status.large, QStringLiteral("OP"));
	EXPECT_EQ(status.detail, text("State.OpNoMedia"));
	EXPECT_TRUE(status.mainEnabled);

	flow.step = StepNone;
	status = composeDockStatus(snapshotIn(PhaseBreak, 65000), flow);
	EXPECT_EQ(status.large, text("Count.Left").arg(QStringLiteral("1:05"))) << "break minutes are not padded";
	EXPECT_EQ(status.detail, text("State.Break"));
	EXPECT_EQ(status.breakText, text("Act.Back"));
	EXPECT_TRUE(status.breakEnabled);
	EXPECT_FALSE(status.mainEnabled);

	flow.step = StepBackFromBreak;
	status = composeDockStatus(snapshotIn(PhaseBreak), flow);
	EXPECT_EQ(status.detail, text("State.BackFromBreak"));
	EXPECT_FALSE(status.breakEnabled) << "already on the way back";
	flow.held = true;
	flow.waitingForResume = true;
	EXPECT_TRUE(composeDockStatus(snapshotIn(PhaseBreak), flow).breakEnabled)
		<< "a held return can still be pushed";
}

TEST(DockStatus, EndingCountsTheStreamStop)
{
	FlowStatus flow;
	flow.step = StepEnding;
	flow.stopStreamAt = 100000 + 2100;
	DockStatus status = composeDockStatus(snapshotIn(PhaseEnding), flow);
	EXPECT_EQ(status.large, text("Act.Ending"));
	EXPECT_EQ(status.detail, text("State.Ending") + QLatin1Char('\n') + text("State.StopIn").arg(3));
	EXPECT_FALSE(status.endingEnabled);
	flow.stopStreamAt = 99000;
	EXPECT_EQ(composeDockStatus(snapshotIn(PhaseEnding), flow).detail,
		  text("State.Ending") + QLatin1Char('\n') + text("State.StopIn").arg(0));
	flow.stopStreamAt = 0;
	EXPECT_EQ(composeDockStatus(snapshotIn(PhaseEnding), flow).detail, text("State.Ending"));
}

TEST(DockStatus, IdleShowsTheCountdownItWouldRun)
{
	ShowSnapshot snapshot = snapshotIn(PhaseIdle);
	snapshot.preset.count_mode = 1;
	snapshot.preset.duration_ms = 600000;
	FlowStatus flow;
	DockStatus status = composeDockStatus(snapshot, flow);
	EXPECT_EQ(status.large, QStringLiteral("10:00"));
	EXPECT_EQ(status.detail, text("State.Idle"));
	EXPECT_FALSE(status.cancelEnabled);
	EXPECT_TRUE(status.presetsUnlocked);
	EXPECT_FALSE(status.mainEnabled);

	flow.step = StepGoingMain;
	status = composeDockStatus(snapshot, flow);
	EXPECT_EQ(status.detail, text("State.GoingMain"));
	EXPECT_TRUE(status.cancelEnabled) << "a step is still pending";
	EXPECT_FALSE(status.presetsUnlocked);
	EXPECT_FALSE(status.mainEnabled);
	flow.held = true;
	flow.waitingForResume = true;
	EXPECT_TRUE(composeDockStatus(snapshot, flow).mainEnabled) << "a held switch to main may be pushed";
}

TEST(DockStatus, HoldShowsWhereAndWhy)
{
	FlowStatus flow;
	flow.held = true;
	flow.holdLocation = QString::fromLatin1(HoldLocation::Countdown);
	DockStatus status = composeDockStatus(snapshotIn(PhaseStandby, 5000), flow);
	EXPECT_EQ(status.large, text("State.Held"));
	EXPECT_EQ(status.detail, text("Hold.Location.Countdown"));
	EXPECT_EQ(status.holdText, text("Act.Resume"));
	flow.holdReason = QStringLiteral("機材確認");
	EXPECT_EQ(composeDockStatus(snapshotIn(PhaseStandby, 5000), flow).detail,
		  text("Hold.Location.Countdown") + QStringLiteral("\n機材確認"));
}

TEST_F(DockStatusLines, RefreshFollowsTheShow)
{
	showState().startCountdown();
	director->status.problem = QStringLiteral("Scene 'X' not found.");
	dock->refreshStatus();
	EXPECT_EQ(labelText("stateLabel"), text("Count.Left").arg(QStringLiteral("10:00")));
	EXPECT_EQ(labelText("detailLabel"), text("State.Standby"));
	EXPECT_EQ(labelText("problemLabel"), QStringLiteral("Scene 'X' not found."));
	EXPECT_TRUE(control<QLabel>("problemLabel")->isVisible());
	EXPECT_EQ(button("standbyButton")->text(), text("Act.Restart"));
	EXPECT_TRUE(button("cancelButton")->isEnabled());

	clock.advance(61000);
	director->status.problem.clear();
	dock->refreshStatus();
	EXPECT_EQ(labelText("stateLabel"), text("Count.Left").arg(QStringLiteral("08:59")));
	EXPECT_FALSE(control<QLabel>("problemLabel")->isVisible());
}

TEST_F(DockStatusLines, AFailingSaveShowsUnderTheFlowsProblemUntilAWriteSucceeds)
{
	config.blockWrites();
	saveConfig();
	director->status.problem = QStringLiteral("Scene 'X' not found.");
	dock->refreshStatus();
	EXPECT_EQ(labelText("problemLabel"), QStringLiteral("Scene 'X' not found.\n") + text("Problem.ConfigNotSaved"));
	director->status.problem.clear();
	dock->refreshStatus();
	EXPECT_EQ(labelText("problemLabel"), text("Problem.ConfigNotSaved"));

	config.unblockWrites();
	saveConfig();
	dock->refreshStatus();
	EXPECT_FALSE(control<QLabel>("problemLabel")->isVisible());
}

TEST_F(DockStatusLines, AMinuteMoreOrLessWhileACountdownRuns)
{
	dock->refreshStatus();
	EXPECT_FALSE(button("addMinuteButton")->isVisible());
	EXPECT_FALSE(button("removeMinuteButton")->isVisible());

	showState().startCountdown();
	dock->refreshStatus();
	ASSERT_TRUE(button("addMinuteButton")->isVisible());
	EXPECT_EQ(button("addMinuteButton")->text(), text("Act.AddMinute"));
	button("addMinuteButton")->click();
	button("removeMinuteButton")->click();
	EXPECT_EQ(director->calls, (std::vector<std::string>{"addTime 60000", "addTime -60000"}));

	showState().finishCountdown();
	dock->refreshStatus();
	EXPECT_FALSE(button("addMinuteButton")->isVisible());
}

TEST_F(DockStatusLines, PresetRowIsLockedDuringAShow)
{
	dock->refreshStatus();
	EXPECT_TRUE(control<QComboBox>("presetCombo")->isEnabled());
	EXPECT_TRUE(control<QComboBox>("presetCombo")->toolTip().isEmpty());
	EXPECT_TRUE(button("removeButton")->isEnabled());

	showState().startCountdown();
	director->status.step = StepNone;
	dock->refreshStatus();
	for (const char *name : {"saveAsButton", "renameButton", "removeButton"})
		EXPECT_FALSE(button(name)->isEnabled()) << name;
	EXPECT_FALSE(control<QComboBox>("presetCombo")->isEnabled());
	EXPECT_EQ(control<QComboBox>("presetCombo")->toolTip(), text("Preset.Locked"));

	showState().resetCountdown();
	dock->refreshStatus();
	EXPECT_TRUE(control<QComboBox>("presetCombo")->isEnabled());
	EXPECT_TRUE(button("saveAsButton")->isEnabled());
	EXPECT_TRUE(control<QComboBox>("presetCombo")->toolTip().isEmpty());
}

TEST_F(DockStatusLines, HoldStyleComesAndGoes)
{
	director->status.held = true;
	director->status.holdLocation = QString::fromLatin1(HoldLocation::BeforeStart);
	dock->refreshStatus();
	EXPECT_EQ(button("holdButton")->text(), text("Act.Resume"));
	EXPECT_EQ(button("holdButton")->styleSheet(),
		  QStringLiteral("font-size: 14pt; font-weight: bold; background-color: #D8C596; color: #0B1423;"));
	EXPECT_EQ(labelText("stateLabel"), text("State.Held"));
	EXPECT_EQ(labelText("detailLabel"), text("Hold.Location.BeforeStart"));

	director->status.held = false;
	dock->refreshStatus();
	EXPECT_EQ(button("holdButton")->text(), text("Act.Hold"));
	EXPECT_TRUE(button("holdButton")->styleSheet().isEmpty());
}

TEST_F(DockStatusLines, PreviewFollowsTheBreak)
{
	dock->refreshStatus();
	EXPECT_TRUE(control<QRadioButton>("previewStandby")->isChecked());
	showState().startBreakCountdown();
	dock->refreshStatus();
	EXPECT_TRUE(control<QRadioButton>("previewBreak")->isChecked());
	EXPECT_EQ(button("breakButton")->text(), text("Act.Back"));
	showState().leaveBreak();
	dock->refreshStatus();
	EXPECT_TRUE(control<QRadioButton>("previewStandby")->isChecked());
	EXPECT_EQ(button("breakButton")->text(), text("Act.Break"));
}

TEST_F(DockStatusLines, PreviewShowsThePictureOnACheckerboard)
{
	dock->refreshStatus();
	auto *view = control<PreviewView>("preview");
	const QImage image = view->image();
	ASSERT_FALSE(image.isNull());
	const QImage painted = view->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
	EXPECT_EQ(painted.copy(QRect(QPoint((view->width() - image.width()) / 2, 2), image.size())), image)
		<< "the widget paints that picture, centred";
	EXPECT_GE(image.width(), 160);
	EXPECT_LE(image.width(), 360);
	EXPECT_GE(image.height(), 40);
	EXPECT_EQ(view->height(), image.height() + 4);
	EXPECT_EQ(image.pixelColor(0, 0), QColor(58, 61, 70)) << "checkerboard, first square dark";
	EXPECT_EQ(image.pixelColor(8, 0), QColor(70, 74, 85)) << "the next square light";
	bool somethingDrawn = false;
	for (int x = 0; x < image.width() && !somethingDrawn; ++x) {
		const QColor c = image.pixelColor(x, image.height() / 2);
		somethingDrawn = c != QColor(58, 61, 70) && c != QColor(70, 74, 85);
	}
	EXPECT_TRUE(somethingDrawn) << "the countdown is drawn over the checkerboard";
}

TEST_F(DockStatusLines, PreviewFollowsTheRadio)
{
	auto *view = control<PreviewView>("preview");
	const auto shown = [&] { return view->image(); };
	const auto picture = [&](int kind) {
		PreviewPicture fresh; // drawn from scratch, beside the dock's own that keeps its layers
		fresh.compose(showState().snapshot(), kind, previewWidth(view->width()));
		return fresh.image();
	};
	dock->refreshStatus();
	ASSERT_NE(picture(KindStandby), picture(KindBreak)) << "the two kinds must look different here";
	EXPECT_EQ(shown(), picture(KindStandby));

	control<QRadioButton>("previewBreak")->click();
	dock->refreshStatus();
	EXPECT_EQ(shown(), picture(KindBreak)) << "no show change needed: the radio alone switches the kind";

	control<QRadioButton>("previewStandby")->click();
	dock->refreshStatus();
	EXPECT_EQ(shown(), picture(KindStandby));
}

TEST_F(DockStatusLines, HiddenDockDoesNothing)
{
	dock->hide();
	showState().startCountdown();
	dock->refreshStatus();
	EXPECT_EQ(button("standbyButton")->text(), text("Act.Standby")) << "no refresh while hidden";
	dock->show();
	dock->refreshStatus();
	EXPECT_EQ(button("standbyButton")->text(), text("Act.Restart"));
}

TEST_F(DockStatusLines, ActionsReachTheDirector)
{
	showState().startCountdown();
	dock->refreshStatus();
	for (const char *name :
	     {"standbyButton", "mainButton", "breakButton", "endingButton", "cancelButton", "holdButton"})
		button(name)->click();
	EXPECT_EQ(director->calls, (std::vector<std::string>{"startStandby", "skipToMain", "toggleBreak", "startEnding",
							     "cancel", "toggleHold"}));
}

TEST(DockStatus, ArmingShowsItsTimesAndIsOfferedWhereItCanAim)
{
	ShowSnapshot snapshot = snapshotIn(PhaseIdle);
	snapshot.nowWall = 1767268800000; // 2026-01-01 12:00 UTC
	snapshot.preset.count_mode = 1;
	FlowStatus flow;
	DockStatus status = composeDockStatus(snapshot, flow);
	EXPECT_FALSE(status.armEnabled) << "a for-length preset has no time to aim at";
	EXPECT_EQ(status.armTip, text("Arm.NeedsUntilTime"));
	snapshot.preset.count_mode = 0;
	EXPECT_TRUE(composeDockStatus(snapshot, flow).armEnabled);
	flow.onMain = true;
	EXPECT_FALSE(composeDockStatus(snapshot, flow).armEnabled) << "not while a show runs";

	flow.onMain = false;
	flow.armed = true;
	flow.goLiveAtWallMs = snapshot.nowWall + 475 * 60000;
	flow.showAtWallMs = snapshot.nowWall + 480 * 60000;
	status = composeDockStatus(snapshot, flow);
	EXPECT_EQ(status.detail, QStringLiteral("Armed · live at 19:55 · show at 20:00"));
	EXPECT_EQ(status.armText, text("Act.Disarm"));
	EXPECT_TRUE(status.armEnabled);
	EXPECT_FALSE(status.presetsUnlocked) << "presets are locked while armed";
}
