// The obs-websocket vendor's requests as they run on the UI thread: their fields checked
// before anything changes, the dock's rules for its actions, and what they answer.
#include "module_fixture.h"

#include "remote/crew_page_control.h"
#include "remote/published_show.h"
#include "remote/websocket_requests.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "settings/presenter_message.h"
#include "show/show_state.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <obs.hpp>

#include <cstring>

namespace {

struct Answer {
	QString error;
	QJsonObject data;
};

class WebsocketRequestTest : public ModuleTest {
protected:
	WebsocketRequestTest()
	{
		// As the dock follows the presets: typed text goes in first, a change reloads it.
		listener = addPresetListener([this](PresetEvent event) {
			dockCalls += event == PresetEvent::EditsWanted ? "flush;" : "reload;";
		});
		// As the vendor and the show watch publish for the readers.
		publishPresetList();
		director->publishFlow();
		publishSaveProblem(configSaveProblem());
	}
	~WebsocketRequestTest() override { removePresetListener(listener); }

	Answer ask(const char *type, const char *json = "{}")
	{
		const WebsocketRequest *entry = websocketRequestsBegin();
		while (entry != websocketRequestsEnd() && std::strcmp(entry->type, type) != 0)
			++entry;
		EXPECT_NE(entry, websocketRequestsEnd()) << type;
		OBSDataAutoRelease request = obs_data_create_from_json(json);
		OBSDataAutoRelease response = obs_data_create();
		Answer answer;
		answer.error = runWebsocketRequest(*entry, request, response);
		answer.data = QJsonDocument::fromJson(obs_data_get_json(response)).object();
		return answer;
	}

	std::string dockCalls;
	int listener = 0;
};

} // namespace

TEST_F(WebsocketRequestTest, BadOrMissingFieldsAreRefusedAndChangeNothing)
{
	const struct {
		const char *type;
		const char *json;
		const char *error;
	} cases[] = {
		{"StartStandby", R"({"duration_ms": 999})",
		 "'duration_ms' must be a whole number from 1000 to 86400000."},
		{"StartStandby", R"({"duration_ms": 86400001})", "'duration_ms' must be a whole number from 1000"},
		{"StartStandby", R"({"duration_ms": "60000"})", "'duration_ms' must be a whole number"},
		{"StartStandby", R"({"duration_ms": 60000.5})", "'duration_ms' must be a whole number"},
		{"StartStandby", R"({"restart": "yes"})", "'restart' must be true or false."},
		{"SelectPreset", R"({})", "'name' is missing."},
		{"SelectPreset", R"({"name": 3})", "'name' must be a string."},
		{"Hold", R"({"from": "desk"})", "'on' is missing."},
		{"Hold", R"({"on": 1, "from": "desk"})", "'on' must be true or false."},
		{"Hold", R"({"on": true})", "'from' is missing."},
		{"Hold", R"({"on": true, "from": "desk", "reason": 5})", "'reason' must be a string."},
		{"AddTime", R"({})", "'ms' is missing."},
		{"AddTime", R"({"ms": "60000"})", "'ms' must be a whole number."},
		{"SetMessage", R"({"blink": true})", "'text' is missing."},
		{"SetMessage", R"({"text": "Wrap up", "blink": 1})", "'blink' must be true or false."},
	};
	const Preset before = currentPreset();
	for (const auto &bad : cases) {
		const Answer answer = ask(bad.type, bad.json);
		EXPECT_TRUE(answer.error.startsWith(QString::fromUtf8(bad.error)))
			<< bad.json << " " << qPrintable(answer.error);
	}
	EXPECT_EQ(showState().phase(), PhaseIdle);
	EXPECT_FALSE(director->flowStatus().held);
	EXPECT_EQ(currentPreset().duration_ms, before.duration_ms);
	EXPECT_TRUE(config.read().isEmpty()) << "nothing was saved";
	EXPECT_EQ(dockCalls, "");
}

TEST_F(WebsocketRequestTest, StartStandbyWithALengthCountsThatLongForThisRunOnly)
{
	Preset preset = currentPreset();
	preset.count_mode = 0;
	updateCurrentPreset(preset);
	const QByteArray saved = config.read();
	dockCalls.clear(); // the news of the set-up's own change

	EXPECT_EQ(ask("StartStandby", R"({"duration_ms": 90000})").error, "");
	EXPECT_EQ(showState().snapshot().remainingMs(), 90000);
	EXPECT_EQ(currentPreset().count_mode, 0) << "the preset stays an until-time one";
	EXPECT_EQ(config.read(), saved);
	EXPECT_EQ(dockCalls, "flush;");
	// An edit of the preset during the run leaves the run's length as it is.
	clock.advance(10000);
	preset.target_minutes = (preset.target_minutes + 7) % 1440;
	updateCurrentPreset(preset);
	EXPECT_EQ(showState().snapshot().remainingMs(), 80000);
}

TEST_F(WebsocketRequestTest, ARequestSentTwiceDoesWhatOneDoes)
{
	// No scenes: each switch of the flow is done at once. Every step is also sent again.
	const char *running = "A show is running; send \"restart\": true to start the standby again.";
	const struct {
		const char *type;
		const char *json;
		const char *error;
		const char *phase; // GetState's afterwards
	} steps[] = {
		{"Cancel", "{}", "", "idle"},
		{"EndBreak", "{}", "Not in a break.", "idle"},
		{"StartStandby", "{}", "", "standby"},
		{"StartStandby", "{}", running, "standby"},
		{"GoMain", "{}", "", "main"},
		{"GoMain", "{}", "", "main"},
		{"StartStandby", "{}", running, "main"},
		{"StartBreak", "{}", "", "break"},
		{"StartBreak", "{}", "Already in a break.", "break"},
		{"EndBreak", "{}", "", "main"},
		{"EndBreak", "{}", "Not in a break.", "main"},
		{"ToggleBreak", "{}", "", "break"},
		{"ToggleBreak", "{}", "", "main"},
		{"StartEnding", "{}", "", "ending"},
		{"StartEnding", "{}", "Already ending.", "ending"},
		{"Cancel", "{}", "", "idle"},
		{"Cancel", "{}", "", "idle"},
		{"StartStandby", "{}", "", "standby"},
		{"StartStandby", R"({"restart": true})", "", "standby"},
	};
	for (const auto &step : steps) {
		EXPECT_EQ(ask(step.type, step.json).error, step.error) << step.type << " " << step.json;
		EXPECT_EQ(ask("GetState").data.value("phase").toString(), step.phase) << step.type << " " << step.json;
	}
}

TEST_F(WebsocketRequestTest, ActionsFollowTheDocksRules)
{
	EXPECT_EQ(ask("GoMain").error, "Going to the main scene is not possible now.");
	EXPECT_EQ(ask("AddTime", R"({"ms": 60000})").error, "No countdown is running.");
	EXPECT_EQ(ask("SelectPreset", R"({"name": "nope"})").error, "No preset is named 'nope'.");

	addPreset(defaultPreset(QStringLiteral("Evening")));
	selectPreset(0);
	EXPECT_EQ(ask("StartStandby").error, "");
	EXPECT_EQ(ask("SelectPreset", R"({"name": "Evening"})").error, "Presets are locked while the show runs.");
	EXPECT_EQ(ask("StartEnding").error, "");
	EXPECT_EQ(ask("StartEnding").error, "Already ending.");
	EXPECT_EQ(ask("Cancel").error, "");
	EXPECT_EQ(ask("SelectPreset", R"({"name": "Evening"})").error, "");
	EXPECT_EQ(currentPreset().name, QStringLiteral("Evening"));
}

TEST_F(WebsocketRequestTest, OnlyAPersonResumes)
{
	EXPECT_EQ(ask("Hold", R"({"on": true, "from": "desk", "reason": "guest late"})").error, "");
	for (const char *json : {R"({"on": false, "from": "autopilot"})", R"({"on": false, "from": "  "})"}) {
		EXPECT_TRUE(ask("Hold", json).error.startsWith("Only a person may resume")) << json;
		EXPECT_TRUE(director->flowStatus().held) << json;
	}
	EXPECT_EQ(ask("Hold", R"({"on": false, "from": "Autumn desk"})").error, "");
	EXPECT_FALSE(director->flowStatus().held);
}

TEST_F(WebsocketRequestTest, GetStateAndAddTimeAnswerTheRunningCountdown)
{
	ask("StartStandby", R"({"duration_ms": 120000})");
	clock.advance(20000);
	const Answer added = ask("AddTime", R"({"ms": -30000})");
	EXPECT_EQ(added.error, "");
	EXPECT_EQ(added.data.value("remaining_ms").toInt(), 70000);

	const QJsonObject state = ask("GetState").data;
	EXPECT_EQ(state.value("phase").toString(), "standby");
	EXPECT_EQ(state.value("step").toString(), "none");
	EXPECT_EQ(state.value("counting").toBool(), true);
	EXPECT_EQ(state.value("remaining_ms").toInt(), 70000);
	EXPECT_EQ(state.value("hold_location").toString(), "Hold.Location.Countdown");
	EXPECT_EQ(state.value("preset").toString(), currentPreset().name);
	EXPECT_EQ(state.value("problem").toString(), "");
}

TEST_F(WebsocketRequestTest, TheMessageToThePresenterIsKeptUntilItIsCleared)
{
	const QString longest = QString(presenterMessageMaxChars, QChar(0x3042)); // wide characters count once
	const struct {
		const char *type;
		QByteArray json;
		const char *error;
		QString message; // afterwards
		bool blink;
	} steps[] = {
		{"SetMessage", R"({"text": "Wrap up", "blink": true})", "", QStringLiteral("Wrap up"), true},
		{"SetMessage", "{\"text\": \"" + QByteArray(presenterMessageMaxChars + 1, 'x') + "\"}",
		 "The message has 201 characters; at most 200 fit.", QStringLiteral("Wrap up"), true},
		{"SetMessage", "{\"text\": \"" + longest.toUtf8() + "\"}", "", longest, false},
	};
	for (const auto &step : steps) {
		EXPECT_EQ(ask(step.type, step.json.constData()).error, QString::fromUtf8(step.error)) << step.json.left(40).constData();
		const QJsonObject state = ask("GetState").data;
		EXPECT_EQ(state.value("message").toString(), step.message);
		EXPECT_EQ(state.value("message_blink").toBool(), step.blink);
	}
	loadConfig(); // OBS started again
	EXPECT_EQ(presenterMessage().text, longest);
	EXPECT_EQ(ask("ClearMessage").error, "");
	loadConfig();
	EXPECT_EQ(presenterMessage(), PresenterMessage());
}

TEST_F(WebsocketRequestTest, TheCrewPageSettingsChangeOnlyWhatIsSent)
{
	struct FakeCrewPage : CrewPageControl {
		CrewPageStatus status() const override { return current; }
		CrewPageStatus change(const CrewSettings &settings, bool newKeys) override
		{
			current.settings = settings;
			renewed += newKeys;
			current.viewUrl = settings.on ? QStringLiteral("http://127.0.0.1/view?key=k") : QString();
			return current;
		}
		CrewPageStatus current;
		int renewed = 0;
	} page;
	EXPECT_EQ(ask("CrewPage").error, "The crew's page is not available.");
	setCrewPageControl(&page);
	EXPECT_EQ(ask("SetCrewPage", R"({"on": true, "port": 80})").error,
		  "'port' must be a whole number from 1024 to 65535.");
	EXPECT_EQ(ask("SetCrewPage", R"({"on": true, "network": "internet"})").error,
		  "'network' must be \"computer\" or \"lan\".");
	EXPECT_FALSE(page.current.settings.on) << "a refused change changes nothing";
	const Answer answer = ask("SetCrewPage", R"({"on": true, "port": 5000, "new_keys": true})");
	setCrewPageControl(nullptr);
	EXPECT_EQ(answer.error, "");
	EXPECT_EQ(answer.data.value("network").toString(), "computer") << "as it was";
	EXPECT_EQ(answer.data.value("port").toInt(), 5000);
	EXPECT_EQ(answer.data.value("view_url").toString(), "http://127.0.0.1/view?key=k");
	EXPECT_EQ(page.renewed, 1);
}
