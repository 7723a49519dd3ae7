#include "show/output_rules.h"

#include <initializer_list>

namespace {

constexpr unsigned bit(OutputHistory history)
{
	return 1u << static_cast<unsigned>(history);
}

constexpr unsigned bits(std::initializer_list<OutputHistory> histories)
{
	unsigned mask = 0;
	for (OutputHistory history : histories)
		mask |= bit(history);
	return mask;
}

using H = OutputHistory;

struct OutputRule {
	OutputActor actor;
	Output output;
	unsigned from;   // the histories it acts on; any other is left alone
	bool presetOnly; // only when the preset asks for it
};

// The one table. What is not in it, CurtainUp does not do: it never starts again what a
// person stopped or what dropped, and it stops a recording only if it started it.
constexpr OutputRule rules[] = {
	// The go-live starts what is not running yet; the recording only when the preset asks.
	{OutputActor::ArmedShow, Output::Stream, bits({H::Off, H::StoppedByPerson, H::Dropped}), false},
	{OutputActor::ArmedShow, Output::Recording, bits({H::Off, H::StoppedByPerson, H::Dropped}), true},
	// Only CurtainUp's own start that has not gone live is tried again.
	{OutputActor::StreamWatch, Output::Stream, bits({H::Starting}), false},
	// The ending stops the stream, whoever started it, when the preset says so; the
	// recording goes with it only if CurtainUp started it.
	{OutputActor::Ending, Output::Stream, bits({H::OnByOthers, H::Starting, H::OnByCurtainUp}), true},
	{OutputActor::Ending, Output::Recording, bits({H::Starting, H::OnByCurtainUp}), true},
	// After a crash, what CurtainUp had started comes back; an orderly exit owes nothing.
	{OutputActor::Restart, Output::Stream, bits({H::CrashedWhileOn}), false},
	{OutputActor::Restart, Output::Recording, bits({H::CrashedWhileOn}), false},
};

} // namespace

OutputVerdict outputVerdict(const OutputAsk &ask)
{
	for (const OutputRule &rule : rules) {
		if (rule.actor != ask.actor || rule.output != ask.output)
			continue;
		if (!(rule.from & bit(ask.history)) || (rule.presetOnly && !ask.presetAsks))
			return OutputVerdict::Leave;
		// A hold holds every start and stop CurtainUp makes on its own.
		return ask.held ? OutputVerdict::Wait : OutputVerdict::Act;
	}
	return OutputVerdict::Leave;
}
