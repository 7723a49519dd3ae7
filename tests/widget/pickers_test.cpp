// The small widgets: transition picker, lazy combo, colour button and the name lists.
#include "dialog_script.h"
#include "dock/color_button.h"
#include "dock/lazy_combo.h"
#include "dock/name_lists.h"
#include "dock/transition_picker.h"
#include "fake_dock_host.h"
#include "base/module_host.h"

#include <QComboBox>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

class Pickers : public testing::Test {
protected:
	void SetUp() override
	{
		host.transitionList = {{QStringLiteral("Fade"), false}, {QStringLiteral("Cut"), true}};
		host.scenes = QStringList{QStringLiteral("Main"), QStringLiteral("Break")};
	}

	static QStringList itemTexts(const QComboBox *combo)
	{
		QStringList texts;
		for (int i = 0; i < combo->count(); ++i)
			texts.append(combo->itemText(i));
		return texts;
	}

	FakeDockHost host;
};

QString missing(const QString &name)
{
	return name + QLatin1Char(' ') + moduleText("Scene.Missing");
}

} // namespace

TEST_F(Pickers, TransitionLengthsBelowFiftyBecomeFifty)
{
	TransitionPicker picker(host);
	picker.setValue({QStringLiteral("Fade"), 30});
	EXPECT_EQ(picker.value(), (TransitionChoice{QStringLiteral("Fade"), 50}));
	picker.setValue({QStringLiteral("Fade"), 1});
	EXPECT_EQ(picker.value().ms, 50);
	picker.setValue({QStringLiteral("Fade"), 51});
	EXPECT_EQ(picker.value().ms, 51);
	picker.setValue({QStringLiteral("Fade"), 0});
	EXPECT_EQ(picker.value().ms, 0);
	EXPECT_EQ(picker.lengthSpin->text(), moduleText("Tr.KeepLength")) << "0 keeps the current length";
	picker.setValue({QString(), -20});
	EXPECT_EQ(picker.value(), (TransitionChoice{QString(), 0}));
	picker.setValue({QStringLiteral("Fade"), 30000});
	EXPECT_EQ(picker.value().ms, 20000) << "20000 is the largest length";
}

TEST_F(Pickers, TransitionListKeepsTheHostOrderAfterTheKeepItem)
{
	TransitionPicker picker(host);
	picker.setValue({});
	EXPECT_EQ(itemTexts(picker.transitionCombo),
		  (QStringList{moduleText("Tr.Keep"), QStringLiteral("Fade"), QStringLiteral("Cut")}));
	EXPECT_EQ(picker.transitionCombo->currentIndex(), 0);
	EXPECT_TRUE(picker.transitionCombo->currentData().toString().isEmpty());
}

TEST_F(Pickers, FixedLengthTransitionDisablesTheLengthButKeepsIt)
{
	TransitionPicker picker(host);
	int changes = 0;
	picker.onChanged = [&] { ++changes; };
	picker.setValue({QStringLiteral("Fade"), 700});
	EXPECT_EQ(changes, 0) << "setting a value is not a change";
	EXPECT_TRUE(picker.lengthSpin->isEnabled());

	picker.transitionCombo->setCurrentIndex(picker.transitionCombo->findData(QStringLiteral("Cut")));
	EXPECT_EQ(changes, 1);
	EXPECT_FALSE(picker.lengthSpin->isEnabled());
	EXPECT_EQ(picker.value(), (TransitionChoice{QStringLiteral("Cut"), 700}));

	picker.lengthSpin->setValue(900);
	EXPECT_EQ(changes, 2);
}

TEST_F(Pickers, MissingTransitionStaysChosenAndMarked)
{
	TransitionPicker picker(host);
	picker.setValue({QStringLiteral("Stinger"), 400});
	EXPECT_EQ(picker.transitionCombo->currentText(), missing(QStringLiteral("Stinger")));
	EXPECT_EQ(picker.transitionCombo->currentIndex(), picker.transitionCombo->count() - 1);
	EXPECT_EQ(picker.value(), (TransitionChoice{QStringLiteral("Stinger"), 400}));

	host.transitionList.push_back({QStringLiteral("Stinger"), false});
	picker.reloadKeepingChoice();
	EXPECT_EQ(picker.transitionCombo->currentText(), QStringLiteral("Stinger")) << "the mark goes once it exists";
	EXPECT_EQ(picker.transitionCombo->count(), 4);
}

TEST_F(Pickers, TransitionNamesMatchCaseSensitively)
{
	TransitionPicker picker(host);
	picker.setValue({QStringLiteral("fade"), 0});
	EXPECT_EQ(picker.transitionCombo->currentText(), missing(QStringLiteral("fade")));
}

TEST_F(Pickers, EmptySceneSelectsTheNoneItemWithoutMark)
{
	QComboBox combo;
	fillSceneCombo(&combo, host, QString(), moduleText("Scene.None"));
	EXPECT_EQ(itemTexts(&combo),
		  (QStringList{moduleText("Scene.None"), QStringLiteral("Main"), QStringLiteral("Break")}));
	EXPECT_EQ(combo.currentIndex(), 0);
}

TEST_F(Pickers, SceneListsFillWithoutSignals)
{
	QComboBox combo;
	int emitted = 0;
	QObject::connect(&combo, qOverload<int>(&QComboBox::currentIndexChanged), [&] { ++emitted; });
	fillSceneCombo(&combo, host, QStringLiteral("Break"), moduleText("Scene.None"));
	fillSceneCombo(&combo, host, QStringLiteral("Gone"), moduleText("Scene.None"));
	EXPECT_EQ(emitted, 0);
	EXPECT_EQ(combo.currentText(), missing(QStringLiteral("Gone")));
	EXPECT_EQ(combo.currentData().toString(), QStringLiteral("Gone"));
}

TEST_F(Pickers, SourceListsFilterSortAndLeaveOutCountdowns)
{
	host.addSource(QStringLiteral("zeta music"), audioSourceFlag);
	host.addSource(QStringLiteral("Alpha video"), controllableMediaSourceFlag | audioSourceFlag);
	host.addSource(QStringLiteral("camera"), 1);
	host.addCountdown(QStringLiteral("CurtainUp Standby"), 0);
	host.sourceList.back().outputFlags |= audioSourceFlag;

	QComboBox combo;
	fillSourceCombo(&combo, host, QString(), QStringLiteral("(none)"), audioSourceFlag);
	EXPECT_EQ(itemTexts(&combo),
		  (QStringList{QStringLiteral("(none)"), QStringLiteral("Alpha video"), QStringLiteral("zeta music")}));
	fillSourceCombo(&combo, host, QString(), QStringLiteral("(none)"), controllableMediaSourceFlag);
	EXPECT_EQ(itemTexts(&combo), (QStringList{QStringLiteral("(none)"), QStringLiteral("Alpha video")}));
}

TEST_F(Pickers, LazyComboFillsWhenItsPopupOpens)
{
	LazyCombo combo;
	int fills = 0;
	combo.filler = [&] {
		++fills;
		fillSourceCombo(&combo, host, QString(), QStringLiteral("(none)"), audioSourceFlag);
	};
	host.addSource(QStringLiteral("Music"), audioSourceFlag);
	combo.showPopup();
	EXPECT_EQ(fills, 1);
	EXPECT_EQ(combo.count(), 2);
	combo.hidePopup();

	host.addSource(QStringLiteral("More music"), audioSourceFlag);
	combo.showPopup();
	EXPECT_EQ(fills, 2);
	EXPECT_EQ(combo.count(), 3) << "the list reflects the host at the moment it opens";
	combo.hidePopup();

	LazyCombo bare;
	bare.showPopup(); // no filler: just the popup
	bare.hidePopup();
}

TEST_F(Pickers, ColorButtonShowsTheColourAndItsName)
{
	ColorButton button;
	int changes = 0;
	button.onChanged = [&] { ++changes; };
	button.setColor(QColor(0xE7, 0x7C, 0xAC));
	EXPECT_EQ(button.text(), QStringLiteral("#E77CAC"));
	EXPECT_EQ(button.iconSize(), QSize(28, 14));
	const QImage swatch = button.icon().pixmap(28, 14).toImage();
	EXPECT_EQ(swatch.pixelColor(10, 7), QColor(0xE7, 0x7C, 0xAC));
	EXPECT_EQ(swatch.pixelColor(0, 0), QColor(128, 128, 128)) << "a grey outline";
	EXPECT_EQ(changes, 0) << "setColor never reports a change";
}

TEST_F(Pickers, ColorButtonReportsOnlyANewColour)
{
	ColorButton button;
	int changes = 0;
	button.onChanged = [&] { ++changes; };
	button.setColor(QColor(10, 20, 30));

	DialogScript dialogs;
	dialogs.chooseColor(QColor(10, 20, 30));
	button.click();
	EXPECT_EQ(changes, 0) << "the same colour again is no change";

	dialogs.cancel();
	button.click();
	EXPECT_EQ(changes, 0);
	EXPECT_EQ(button.color(), QColor(10, 20, 30));

	dialogs.chooseColor(QColor(200, 100, 0));
	button.click();
	EXPECT_EQ(changes, 1);
	EXPECT_EQ(button.color(), QColor(200, 100, 0));
	EXPECT_EQ(button.text(), QStringLiteral("#C86400"));
	EXPECT_EQ(dialogs.answered(), 3);
	EXPECT_EQ(dialogs.unexpected(), 0);
	EXPECT_TRUE(dialogs.seen.first().startsWith(moduleText("Text.PickColor")));
}
