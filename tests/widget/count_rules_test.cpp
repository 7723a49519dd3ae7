// The count block, the break length, the stream stop and the other number controls: every
// change is one save with the values the rules give.
#include "dock_fixture.h"

#include "base/module_host.h"
#include "settings/preset_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimeEdit>

namespace {

enum Page { StandbyPage = 0, BreakPage = 2 };

class CountRules : public DockTest {
protected:
	void SetUp() override
	{
		loadPresets(R"({"presets": [{"name": "P", "count_mode": 1, "duration_ms": 600000,
			"target_minutes": 1260, "break_ms": 300000, "stop_after": 30}]})");
		makeDock();
	}

	// The quick button labelled "<minutes><Count.Minutes>" on a page.
	QPushButton *quickButton(int page, int minutes) const
	{
		const QString text = QString::number(minutes) + moduleText("Count.Minutes");
		for (QPushButton *button :
		     control<QStackedWidget>("pages")->widget(page)->findChildren<QPushButton *>()) {
			if (button->text() == text)
				return button;
		}
		ADD_FAILURE() << "no quick button " << minutes;
		return nullptr;
	}
	QStringList quickButtonTexts(int page) const
	{
		QStringList texts;
		const QString unit = moduleText("Count.Minutes");
		for (QPushButton *button :
		     control<QStackedWidget>("pages")->widget(page)->findChildren<QPushButton *>()) {
			if (button->text().endsWith(unit))
				texts.append(button->text());
		}
		return texts;
	}
};

} // namespace

TEST_F(CountRules, ZeroLengthStoresOneSecondButShowsZero)
{
	control<QSpinBox>("lengthMinutesSpin")->setValue(0);
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().duration_ms, 1000) << "minutes 0, seconds 0";
	EXPECT_EQ(control<QSpinBox>("lengthMinutesSpin")->value(), 0);
	EXPECT_EQ(control<QSpinBox>("lengthSecondsSpin")->value(), 0);
}

TEST_F(CountRules, LengthIsMinutesAndSeconds)
{
	control<QSpinBox>("lengthSecondsSpin")->setValue(59);
	EXPECT_EQ(currentPreset().duration_ms, 659000);
	control<QSpinBox>("lengthMinutesSpin")->setValue(999);
	EXPECT_EQ(currentPreset().duration_ms, 999 * 60000LL + 59000) << "no overflow at the top";
	EXPECT_EQ(saves(), 2);
	EXPECT_EQ(writtenPreset().value(QStringLiteral("duration_ms")).toDouble(), 999 * 60000.0 + 59000);
}

TEST_F(CountRules, EditingTheTimeSwitchesToUntilTime)
{
	ASSERT_TRUE(control<QRadioButton>("forLengthRadio")->isChecked());
	control<QTimeEdit>("targetTimeEdit")->setTime(QTime(19, 30));
	EXPECT_TRUE(control<QRadioButton>("untilTimeRadio")->isChecked());
	EXPECT_FALSE(control<QRadioButton>("forLengthRadio")->isChecked());
	EXPECT_EQ(saves(), 1) << "mode and time in one save";
	EXPECT_EQ(currentPreset().count_mode, 0);
	EXPECT_EQ(currentPreset().target_minutes, 19 * 60 + 30);
	EXPECT_EQ(currentPreset().duration_ms, 600000) << "all three fields are written together";
}

TEST_F(CountRules, EditingTheLengthSwitchesToForLength)
{
	control<QRadioButton>("untilTimeRadio")->setChecked(true);
	EXPECT_EQ(currentPreset().count_mode, 0);
	saves();
	control<QSpinBox>("lengthMinutesSpin")->setValue(25);
	EXPECT_TRUE(control<QRadioButton>("forLengthRadio")->isChecked());
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().count_mode, 1);
	EXPECT_EQ(currentPreset().duration_ms, 25 * 60000);
	EXPECT_EQ(currentPreset().target_minutes, 1260);
}

TEST_F(CountRules, TheRadiosSwitchTheModeAlone)
{
	control<QRadioButton>("untilTimeRadio")->click();
	EXPECT_EQ(currentPreset().count_mode, 0);
	EXPECT_FALSE(control<QRadioButton>("forLengthRadio")->isChecked()) << "the radios are exclusive";
	control<QRadioButton>("forLengthRadio")->click();
	EXPECT_EQ(currentPreset().count_mode, 1);
	EXPECT_EQ(saves(), 2);
}

TEST_F(CountRules, TheTimeShowsHoursAndMinutes)
{
	EXPECT_EQ(control<QTimeEdit>("targetTimeEdit")->displayFormat(), QStringLiteral("HH:mm"));
	EXPECT_EQ(control<QTimeEdit>("targetTimeEdit")->text(), QStringLiteral("21:00"));
}

TEST_F(CountRules, QuickButtonsSetTheLengthInOneSave)
{
	EXPECT_EQ(quickButtonTexts(StandbyPage),
		  (QStringList{QStringLiteral("3min"), QStringLiteral("5min"), QStringLiteral("10min"),
			       QStringLiteral("15min"), QStringLiteral("30min")}));
	control<QSpinBox>("lengthSecondsSpin")->setValue(12);
	control<QRadioButton>("untilTimeRadio")->setChecked(true);
	saves();
	quickButton(StandbyPage, 30)->click();
	EXPECT_EQ(saves(), 1);
	EXPECT_EQ(currentPreset().count_mode, 1);
	EXPECT_EQ(currentPreset().duration_ms, 1800000);
	EXPECT_TRUE(control<QRadioButton>("forLengthRadio")->isChecked());
	EXPECT_EQ(control<QSpinBox>("lengthMinutesSpin")->value(), 30);
	EXPECT_EQ(control<QSpinBox>("lengthSecondsSpin")->value(), 0);
}

TEST_F(CountRules, BreakLengthRules)
{
	EXPECT_EQ(quickButtonTexts(BreakPage), (QStringList{QStringLiteral("3min"), QStringLiteral("5min"),
							    QStringLiteral("10min"), QStringLiteral("15min")}))
		<< "four quick buttons on the break page";
	control<QSpinBox>("breakMinutesSpin")->setValue(0);
	EXPECT_EQ(currentPreset().break_ms, 1000);
	control<QSpinBox>("breakSecondsSpin")->setValue(30);
	EXPECT_EQ(currentPreset().break_ms, 30000);
	EXPECT_EQ(saves(), 2);

	quickButton(BreakPage, 15)->click();
	EXPECT_EQ(saves(), 1) << "no second save from the spin boxes";
	EXPECT_EQ(currentPreset().break_ms, 900000);
	EXPECT_EQ(control<QSpinBox>("breakMinutesSpin")->value(), 15);
	EXPECT_EQ(control<QSpinBox>("breakSecondsSpin")->value(), 0);
}

TEST_F(CountRules, StopStreamEnablesItsDelayAndKeepsIt)
{
	auto *check = control<QCheckBox>("stopStreamCheck");
	auto *after = control<QSpinBox>("stopAfterSpin");
	EXPECT_FALSE(after->isEnabled());
	check->setChecked(true);
	EXPECT_TRUE(after->isEnabled());
	EXPECT_TRUE(currentPreset().stop_stream);
	after->setValue(90);
	EXPECT_EQ(currentPreset().stop_after, 90);
	check->setChecked(false);
	EXPECT_FALSE(after->isEnabled());
	EXPECT_FALSE(currentPreset().stop_stream);
	EXPECT_EQ(currentPreset().stop_after, 90) << "unchecking keeps the delay";
	EXPECT_EQ(saves(), 3);
}

TEST_F(CountRules, StandbyPageSmallControls)
{
	control<QCheckBox>("atoCheck")->setChecked(true);
	EXPECT_TRUE(currentPreset().standby_ato);
	control<QComboBox>("lastTenCombo")->setCurrentIndex(1);
	EXPECT_EQ(currentPreset().last_ten, 1);
	auto *wait = control<QSpinBox>("switchAfterSpin");
	EXPECT_EQ(wait->maximum(), 60);
	EXPECT_EQ(wait->suffix(), QLatin1Char(' ') + moduleText("Count.Seconds"));
	wait->setValue(12);
	EXPECT_EQ(currentPreset().switch_after, 12);
	EXPECT_EQ(saves(), 3);
}
