// Who may start and stop the stream and the recording: every actor, output and history.
#include "show/output_rules.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

using H = OutputHistory;
constexpr H allHistories[] = {H::Off,           H::OnByOthers, H::Starting,      H::OnByCurtainUp,
			      H::StoppedByPerson, H::Dropped,    H::CrashedWhileOn};

bool among(H history, std::initializer_list<H> histories)
{
	for (H one : histories)
		if (one == history)
			return true;
	return false;
}

} // namespace

TEST(OutputRules, EachActorActsOnlyAfterWhatItMayActOn)
{
	const struct {
		const char *what;
		OutputActor actor;
		Output output;
		std::initializer_list<H> acts; // with the preset asking and nothing held
		bool presetOnly;
	} rules[] = {
		{"go-live, stream", OutputActor::ArmedShow, Output::Stream, {H::Off, H::StoppedByPerson, H::Dropped}, false},
		{"go-live, recording", OutputActor::ArmedShow, Output::Recording, {H::Off, H::StoppedByPerson, H::Dropped}, true},
		{"watch, stream", OutputActor::StreamWatch, Output::Stream, {H::Starting}, false},
		{"watch, recording", OutputActor::StreamWatch, Output::Recording, {}, false},
		{"ending, stream", OutputActor::Ending, Output::Stream, {H::OnByOthers, H::Starting, H::OnByCurtainUp}, true},
		{"ending, recording", OutputActor::Ending, Output::Recording, {H::Starting, H::OnByCurtainUp}, true},
		{"restart, stream", OutputActor::Restart, Output::Stream, {H::CrashedWhileOn}, false},
		{"restart, recording", OutputActor::Restart, Output::Recording, {H::CrashedWhileOn}, false},
	};
	for (const auto &rule : rules) {
		for (H history : allHistories) {
			const std::string what = std::string(rule.what) + ", history " + std::to_string(int(history));
			const bool acts = among(history, rule.acts);
			EXPECT_EQ(outputVerdict({rule.actor, rule.output, history, true, false}),
				  acts ? OutputVerdict::Act : OutputVerdict::Leave)
				<< what;
			// A hold holds whatever it would do; it starts nothing it would not.
			EXPECT_EQ(outputVerdict({rule.actor, rule.output, history, true, true}),
				  acts ? OutputVerdict::Wait : OutputVerdict::Leave)
				<< what;
			EXPECT_EQ(outputVerdict({rule.actor, rule.output, history, false, false}),
				  acts && !rule.presetOnly ? OutputVerdict::Act : OutputVerdict::Leave)
				<< what;
		}
	}
}
