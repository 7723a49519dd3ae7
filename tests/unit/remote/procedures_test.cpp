// The procedures other plug-ins call: the state and the flow on the caller's thread, the
// hold handed to the UI thread, and what odd calls of it do.
#include "module_fixture.h"

#include "base/module_alive.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <string>

TEST_F(ModuleTest, GetStateAnswersThePhaseTheCountdownAndTheStandbyScene)
{
	Preset preset = currentPreset();
	preset.standby_scene = QStringLiteral("待機画面");
	updateCurrentPreset(preset);
	director->startStandby();

	calldata_t data;
	calldata_init(&data);
	ASSERT_TRUE(proc_handler_call(handler, "curtainup_get_state", &data));
	EXPECT_STREQ(calldata_string(&data, "mode"), "standby");
	EXPECT_TRUE(calldata_bool(&data, "counting"));
	EXPECT_STREQ(calldata_string(&data, "standby_scene"), "待機画面");
	calldata_free(&data);
}

TEST_F(ModuleTest, GetFlowReadsNoneBeforeAnyStepAndTheHoldAfterIt)
{
	publishFlow(FlowStatus()); // as before the director published anything
	Flow flow = callGetFlow();
	EXPECT_EQ(flow.step, "none");
	EXPECT_FALSE(flow.held);
	EXPECT_EQ(flow.reason, "");

	director->startEnding();
	director->hold(true, QStringLiteral("desk"), QStringLiteral("guest late"));
	flow = callGetFlow();
	EXPECT_EQ(flow.step, "ending");
	EXPECT_TRUE(flow.held);
	EXPECT_EQ(flow.reason, "guest late");
}

TEST_F(ModuleTest, HoldReturnsAtOnceAndTakesEffectOnTheUiThread)
{
	callHold(true, "desk", "頭出し待ち");
	EXPECT_FALSE(director->flowStatus().held);
	deliverQueued();
	EXPECT_TRUE(director->flowStatus().held);
	EXPECT_EQ(director->flowStatus().holdReason, QStringLiteral("頭出し待ち"));
	EXPECT_TRUE(log.contains("[curtainup] 待った: from='desk' reason='頭出し待ち'"));

	callHold(false, "desk", nullptr);
	deliverQueued();
	EXPECT_FALSE(director->flowStatus().held);
}

TEST_F(ModuleTest, HoldWithoutArgumentsIsARefusedResume)
{
	director->hold(true, QStringLiteral("desk"), QString());
	calldata_t data;
	calldata_init(&data);
	proc_handler_call(handler, "curtainup_hold", &data);
	calldata_free(&data);
	deliverQueued();
	EXPECT_TRUE(director->flowStatus().held);
	EXPECT_TRUE(log.contains("[curtainup] 再開を拒否: from='' は人の操作ではありません"));
}

TEST_F(ModuleTest, HoldFromAnAutomaticCallerCannotResume)
{
	callHold(true, "auto-cue", "scripted");
	callHold(false, "auto-cue", nullptr);
	deliverQueued();
	EXPECT_TRUE(director->flowStatus().held);
	EXPECT_TRUE(log.contains("[curtainup] 再開を拒否: from='auto-cue' は人の操作ではありません"));
}

TEST_F(ModuleTest, HoldIsDroppedOnceTheModuleIsNoLongerAlive)
{
	setModuleAlive(false);
	callHold(true, "desk", "late");
	deliverQueued();
	EXPECT_FALSE(director->flowStatus().held);

	setModuleAlive(true);
	callHold(true, "desk", "late");
	setModuleAlive(false); // the host began to exit before the task ran
	deliverQueued();
	EXPECT_FALSE(director->flowStatus().held);
	EXPECT_FALSE(log.contains("待った"));
}

TEST_F(ModuleTest, HoldWithoutADirectorIsDropped)
{
	callHold(true, "desk", "late");
	destroyDirector();
	deliverQueued(); // must not reach the director that is gone
	EXPECT_EQ(directorInstance(), nullptr);
	EXPECT_FALSE(log.contains("待った"));
}

TEST_F(ModuleTest, LineBreaksAndAMegabyteOfTextStayInOneShortLogLine)
{
	const std::string huge(1 << 20, 'y');
	callHold(true, "desk\r\nfake line", huge.c_str());
	callHold(true, huge.c_str(), "a\nb");
	deliverQueued();
	EXPECT_TRUE(log.contains("[curtainup] 待った: from='desk  fake line' reason='"));
	EXPECT_TRUE(log.contains("reason='a b'"));
	for (const LogCapture::Line &line : log.lines()) {
		EXPECT_EQ(line.text.find_first_of("\r\n"), std::string::npos);
		EXPECT_LT(line.text.size(), 1000u);
	}
	// A reason from a procedure is cut as any other.
	callHold(true, "desk", huge.c_str());
	deliverQueued();
	EXPECT_EQ(callGetFlow().reason, huge.substr(0, 200));
}

TEST_F(ModuleTest, HoldReadsAnyNonZeroOnByteAsOn)
{
	// A caller that writes the boolean as a plain byte may send any non-zero value.
	for (const uint8_t onByte : {uint8_t(2), uint8_t(8), uint8_t(0xff)}) {
		calldata_t data;
		calldata_init(&data);
		calldata_set_data(&data, "on", &onByte, sizeof(onByte));
		calldata_set_string(&data, "from", "desk");
		proc_handler_call(handler, "curtainup_hold", &data);
		calldata_free(&data);
		deliverQueued();
		EXPECT_TRUE(director->flowStatus().held) << int(onByte);
		director->hold(false, QStringLiteral("desk"), QString());
	}
}
