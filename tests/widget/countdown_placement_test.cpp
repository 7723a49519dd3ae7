// Putting a countdown source into a scene: which scene, which source, no duplicates.
#include "dock_fixture.h"

#include "dock/countdown_placement.h"
#include "log_capture.h"
#include "base/module_host.h"
#include "settings/preset_store.h"

#include <QPushButton>

namespace {

class Placement : public DockTest {
protected:
	void SetUp() override
	{
		loadPresets(R"({"presets": [{"name": "P", "standby_scene": "Standby", "break_scene": ""}]})");
		makeDock();
	}
	QStringList itemsOf(const QString &scene) const
	{
		QStringList names;
		for (const FakeDockHost::Item &item : host->items.value(scene))
			names.append(item.source + (item.selected ? QStringLiteral("*") : QString()));
		return names;
	}
	const QString standbyName = moduleText("Source.StandbyName");
	const QString breakName = moduleText("Source.BreakName");
};

} // namespace

TEST_F(Placement, StandbyGoesIntoTheStandbyScene)
{
	LogCapture log;
	control<QPushButton>("addStandbyButton")->click();
	EXPECT_EQ(itemsOf(QStringLiteral("Standby")), QStringList{standbyName + QLatin1Char('*')});
	EXPECT_EQ(host->countdownCount(), 1);
	EXPECT_EQ(findCountdownSource(*host, 0), standbyName);
	EXPECT_EQ(log.count("[curtainup] added '" + standbyName.toStdString() + "' to scene 'Standby'"), 1);
}

TEST_F(Placement, PressingTwiceAddsOnceAndSelects)
{
	control<QPushButton>("addBreakButton")->click();
	host->items[QStringLiteral("Main")].front().selected = false;
	LogCapture log;
	control<QPushButton>("addBreakButton")->click();
	EXPECT_EQ(itemsOf(QStringLiteral("Main")), QStringList{breakName + QLatin1Char('*')})
		<< "no break scene: the program scene; the second press only selects";
	EXPECT_EQ(host->countdownCount(), 1);
	EXPECT_EQ(log.count("[curtainup] added"), 0) << "only an added item is logged";
}

TEST_F(Placement, StudioModeUsesThePreviewScene)
{
	host->studioMode = true;
	host->previewScene = QStringLiteral("Ending");
	Preset preset = currentPreset();
	preset.standby_scene.clear();
	updateCurrentPreset(preset);
	control<QPushButton>("addStandbyButton")->click();
	EXPECT_EQ(itemsOf(QStringLiteral("Ending")), QStringList{standbyName + QLatin1Char('*')});
	EXPECT_TRUE(itemsOf(QStringLiteral("Main")).isEmpty());
}

TEST_F(Placement, AStoredSceneThatIsGoneFallsBackToTheEditingScene)
{
	Preset preset = currentPreset();
	preset.standby_scene = QStringLiteral("Music"); // a source, not a scene
	updateCurrentPreset(preset);
	control<QPushButton>("addStandbyButton")->click();
	EXPECT_EQ(itemsOf(QStringLiteral("Main")), QStringList{standbyName + QLatin1Char('*')});
}

TEST_F(Placement, AnExistingCountdownIsReusedInAnotherScene)
{
	host->addCountdown(QStringLiteral("My break clock"), 1);
	host->addCountdown(QStringLiteral("Second break clock"), 1);
	Preset preset = currentPreset();
	preset.break_scene = QStringLiteral("Break");
	updateCurrentPreset(preset);
	control<QPushButton>("addBreakButton")->click();
	EXPECT_EQ(itemsOf(QStringLiteral("Break")), QStringList{QStringLiteral("My break clock*")})
		<< "the first of its kind, as a new item";
	EXPECT_EQ(host->countdownCount(), 2) << "no new source";
}

TEST_F(Placement, ANewSourceGetsAFreeName)
{
	host->addSource(standbyName, 1, QStringLiteral("text_ft2_source"));
	host->addCountdown(breakName + QStringLiteral(" 2"), 1); // the other kind does not count
	control<QPushButton>("addStandbyButton")->click();
	EXPECT_EQ(itemsOf(QStringLiteral("Standby")), QStringList{standbyName + QStringLiteral(" 2*")});
}

TEST_F(Placement, WithoutAnySceneNothingHappens)
{
	host->programScene.clear();
	Preset preset = currentPreset();
	preset.standby_scene.clear();
	updateCurrentPreset(preset);
	LogCapture log;
	control<QPushButton>("addStandbyButton")->click();
	EXPECT_EQ(host->countdownCount(), 0) << "no source is made for no scene";
	EXPECT_EQ(log.count("[curtainup]"), 0);
}

TEST(PlacementFit, APictureWiderThanTheCanvasIsScaledToFitIt)
{
	// The default standby picture is wider than a 1280 x 720 canvas.
	EXPECT_DOUBLE_EQ(scaleToFit(QSize(1337, 408), QSize(1280, 720)), 1280.0 / 1337.0);
	EXPECT_DOUBLE_EQ(scaleToFit(QSize(800, 900), QSize(1280, 720)), 0.8);
	EXPECT_DOUBLE_EQ(scaleToFit(QSize(800, 300), QSize(1280, 720)), 1.0) << "never larger";
	EXPECT_DOUBLE_EQ(scaleToFit(QSize(), QSize(1280, 720)), 1.0);
}
