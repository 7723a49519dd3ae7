// The vendor's events: one StateChanged per change of the show, one CountdownTick per
// whole second, the one at zero before the step that zero brings, each with the whole state.
#include "module_fixture.h"

#include "remote/websocket_events.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <obs.hpp>

#include <string>
#include <vector>

namespace {

class WebsocketEventsTest : public ModuleTest {
protected:
	// The events sent since the last call, as "type field" texts.
	std::vector<std::string> follow()
	{
		events.follow(showState().snapshot(), director->flowStatus(), configSaveProblem());
		return std::move(sent);
	}

	std::vector<std::string> sent;
	QJsonObject lastData;
	WebsocketEvents events{[this](const char *type, obs_data_t *data) {
		const QJsonObject fields = QJsonDocument::fromJson(obs_data_get_json(data)).object();
		lastData = fields;
		const QString detail =
			std::string(type) == "CountdownTick"
				? QString::number(fields.value("remaining_ms").toInt())
				: fields.value("phase").toString() + "/" + fields.value("step").toString();
		sent.push_back(std::string(type) + " " + detail.toStdString());
	}};
};

using Events = std::vector<std::string>;

} // namespace

TEST_F(WebsocketEventsTest, OneEventPerChangeAndOneTickPerSecond)
{
	EXPECT_EQ(follow(), Events{}) << "the first look only learns where the show stands";
	Preset preset = currentPreset();
	preset.duration_ms = 3000;
	updateCurrentPreset(preset);
	director->startStandby();
	EXPECT_EQ(follow(), Events{"StateChanged standby/none"});
	clock.advance(999);
	EXPECT_EQ(follow(), Events{});
	clock.advance(1);
	EXPECT_EQ(follow(), Events{"CountdownTick 2000"});
	EXPECT_EQ(follow(), Events{});

	director->addTime(5000); // more time: counted from there, no tick for it
	EXPECT_EQ(follow(), Events{});
	clock.advance(500);
	EXPECT_EQ(follow(), Events{});
	director->addTime(-5000); // less: one tick for the seconds it took away
	EXPECT_EQ(follow(), Events{"CountdownTick 1500"});

	clock.advance(1500);
	director->tick(); // zero: the flow moves on before the events look
	EXPECT_EQ(follow(), (Events{"CountdownTick 0", "StateChanged standby/after_zero"}));
	clock.advance(500);
	EXPECT_EQ(follow(), Events{});
}

TEST_F(WebsocketEventsTest, AStoppedCountdownSendsNoTickAtZero)
{
	follow();
	director->startStandby();
	follow();
	clock.advance(2500);
	director->cancel();
	EXPECT_EQ(follow(), Events{"StateChanged idle/none"});
}

TEST_F(WebsocketEventsTest, ZeroIsSentWhenTheFlowLeftStandbyBeforeTheEventsLooked)
{
	Preset preset = currentPreset();
	preset.duration_ms = 2000;
	preset.switch_after = 0; // no wait, no OP or main scene: standby is over on the tick at zero
	updateCurrentPreset(preset);
	follow();
	director->startStandby();
	follow();
	clock.advance(2000);
	director->tick();
	EXPECT_EQ(follow(), (Events{"CountdownTick 0", "StateChanged main/none"}));
}

TEST_F(WebsocketEventsTest, EveryEventCarriesTheWholeState)
{
	// A client that keeps only the last event still reads the hold, the preset and the problem.
	const QStringList stateFields = {"phase",        "step",          "held",       "hold",
					 "hold_reason",  "hold_location", "counting",   "remaining_ms",
					 "time_left",    "preset",        "problem",    "armed",
					 "go_live_at_ms", "show_at_ms"};
	follow();
	director->startStandby();
	director->hold(true, QStringLiteral("desk"), QStringLiteral("guest late"));
	follow();
	clock.advance(1000);
	EXPECT_EQ(follow().size(), 1u);
	for (const QString &field : stateFields)
		EXPECT_TRUE(lastData.contains(field)) << qPrintable(field);
	EXPECT_EQ(lastData.value("kind").toString(), "standby");
	EXPECT_EQ(lastData.value("hold").toString(), "held");
	EXPECT_EQ(lastData.value("hold_reason").toString(), "guest late");
	EXPECT_EQ(lastData.value("time_left").toString(), "9:59");

	// Choosing a preset from any path is a change; so is the settings file failing to save.
	director->cancel();
	follow();
	addPreset(defaultPreset(QStringLiteral("Late show")));
	EXPECT_EQ(follow(), Events{"StateChanged idle/none"});
	EXPECT_EQ(lastData.value("preset").toString(), "Late show");
	config.blockWrites();
	saveConfig();
	EXPECT_EQ(follow(), Events{"StateChanged idle/none"});
	EXPECT_FALSE(configSaveProblem().isEmpty());
	EXPECT_EQ(lastData.value("problem").toString(), configSaveProblem());
	config.unblockWrites();
}
