#include "director/show_outputs.h"

#include "base/module_host.h"
#include "director/director_host.h"
#include "settings/started_outputs.h"

namespace {

// CurtainUp's own stream start is checked this long after, and asked again so often.
constexpr int64_t streamCheckMs = 15000;
constexpr int streamTriesAgain = 3;

bool ours(OutputHistory history)
{
	return history == OutputHistory::Starting || history == OutputHistory::OnByCurtainUp ||
	       history == OutputHistory::CrashedWhileOn;
}

const char *outputName(Output output)
{
	return output == Output::Stream ? "stream" : "recording";
}

} // namespace

ShowOutputs::ShowOutputs(DirectorHost &host, ShowProblem show, ClearProblem clear)
    : host(host), showProblem(std::move(show)), clearProblem(std::move(clear))
{
}

OutputHistory ShowOutputs::seen(Output output) const
{
	const OutputHistory was = output == Output::Stream ? stream : recording;
	const bool active = output == Output::Stream ? host.streamingActive() : host.recordingActive();
	if (ours(was))
		return was;
	if (active)
		return OutputHistory::OnByOthers;
	return was == OutputHistory::OnByOthers ? OutputHistory::Off : was;
}

OutputVerdict ShowOutputs::verdict(OutputActor actor, Output output, bool presetAsks, bool held) const
{
	return outputVerdict({actor, output, seen(output), presetAsks, held});
}

void ShowOutputs::goLive(bool record, int64_t now)
{
	if (verdict(OutputActor::ArmedShow, Output::Stream, false, false) == OutputVerdict::Act)
		start(Output::Stream, now);
	if (verdict(OutputActor::ArmedShow, Output::Recording, record, false) == OutputVerdict::Act)
		start(Output::Recording, now);
}

void ShowOutputs::bringBack(const StartedOutputs &before, bool held, int64_t now)
{
	const auto owed = [this](bool started, Output output) {
		const bool active = output == Output::Stream ? host.streamingActive() : host.recordingActive();
		if (started)
			(output == Output::Stream ? stream : recording) =
				active ? OutputHistory::OnByCurtainUp : OutputHistory::CrashedWhileOn;
	};
	owed(before.stream, Output::Stream);
	owed(before.recording, Output::Recording);
	streamOwed = recordingOwed = false;
	for (Output output : {Output::Stream, Output::Recording}) {
		switch (verdict(OutputActor::Restart, output, false, held)) {
		case OutputVerdict::Act:
			moduleLog(LOG_INFO, "after the crash: starting the %s CurtainUp had started", outputName(output));
			start(output, now);
			break;
		case OutputVerdict::Wait:
			(output == Output::Stream ? streamOwed : recordingOwed) = true;
			moduleLog(LOG_INFO, "after the crash: the %s CurtainUp had started waits for the resume",
				  outputName(output));
			showProblem(moduleText("Problem.OutputsBackOnResume"));
			break;
		case OutputVerdict::Leave:
			break;
		}
	}
	keep();
}

void ShowOutputs::start(Output output, int64_t now)
{
	if (output == Output::Recording) {
		host.startRecording();
		recording = OutputHistory::OnByCurtainUp;
	} else {
		host.startStreaming();
		stream = OutputHistory::Starting;
		streamRetries = 0;
		streamCheckAt = now + streamCheckMs;
	}
	keep();
}

void ShowOutputs::armStreamStop(bool presetStops, int64_t delayMs, bool held, int64_t now)
{
	dropStreamStop();
	if (verdict(OutputActor::Ending, Output::Stream, presetStops, false) == OutputVerdict::Leave)
		return;
	stopAt = now + delayMs;
	if (held)
		hold(now);
}

void ShowOutputs::dropStreamStop()
{
	stopAt = 0;
	stopPaused = false;
}

void ShowOutputs::cancel()
{
	dropStreamStop();
	stopWatching();
	// What waited to start starts no more; what runs stays CurtainUp's.
	streamOwed = recordingOwed = false;
	if (stream == OutputHistory::CrashedWhileOn)
		stream = OutputHistory::Off;
	if (recording == OutputHistory::CrashedWhileOn)
		recording = OutputHistory::Off;
	keep();
}

void ShowOutputs::stopWatching()
{
	streamCheckAt = 0;
	// A start that never went live is owed to nobody once nothing tries it again.
	if (stream == OutputHistory::Starting && !host.streamingActive())
		stream = OutputHistory::Off;
}

void ShowOutputs::hold(int64_t now)
{
	if (stopAt == 0 || stopPaused)
		return;
	stopPaused = true;
	stopRemaining = std::max<int64_t>(0, stopAt - now);
}

void ShowOutputs::resume(int64_t now)
{
	if (stopPaused) {
		stopPaused = false;
		stopAt = now + stopRemaining;
	}
	if (streamOwed || recordingOwed) {
		StartedOutputs owed;
		owed.stream = streamOwed;
		owed.recording = recordingOwed;
		bringBack(owed, false, now);
	}
}

void ShowOutputs::tick(int64_t now, bool held)
{
	if (!held)
		watchStream(now);
	if (stopAt != 0 && !stopPaused && now >= stopAt)
		stopOnTimer();
}

void ShowOutputs::stopOnTimer()
{
	dropStreamStop();
	const bool stopsRecording =
		verdict(OutputActor::Ending, Output::Recording, true, false) == OutputVerdict::Act;
	if (verdict(OutputActor::Ending, Output::Stream, true, false) == OutputVerdict::Act) {
		moduleLog(LOG_INFO, "stopping the stream (ending timer)");
		stoppingStream = true;
		streamCheckAt = 0;
		host.stopStreaming();
		stream = OutputHistory::Off;
	}
	if (stopsRecording) {
		moduleLog(LOG_INFO, "stopping the recording CurtainUp started");
		host.stopRecording();
		recording = OutputHistory::Off;
	}
	keep();
}

void ShowOutputs::watchStream(int64_t now)
{
	if (streamCheckAt == 0 || now < streamCheckAt)
		return;
	if (host.streamingActive()) {
		// Live without an event heard (it came before the watch looked).
		streamStarted();
		return;
	}
	if (verdict(OutputActor::StreamWatch, Output::Stream, false, false) != OutputVerdict::Act) {
		streamCheckAt = 0;
		return;
	}
	// The standby runs anyway: the operator may start the stream by hand.
	watchProblemShown = true;
	if (streamRetries == streamTriesAgain) {
		stopWatching();
		keep();
		showProblem(moduleText("Problem.StreamNotStarted"));
		return;
	}
	++streamRetries;
	showProblem(moduleText("Problem.StreamRetrying").arg(streamRetries).arg(streamTriesAgain));
	host.startStreaming();
	streamCheckAt = now + streamCheckMs;
}

void ShowOutputs::streamStarted()
{
	if (stream == OutputHistory::Starting || stream == OutputHistory::CrashedWhileOn)
		stream = OutputHistory::OnByCurtainUp;
	else if (!ours(stream))
		stream = OutputHistory::OnByOthers;
	streamOwed = false;
	streamCheckAt = 0;
	if (watchProblemShown) {
		watchProblemShown = false;
		clearProblem();
	}
	keep();
}

void ShowOutputs::streamStopped(bool byPerson)
{
	dropStreamStop();
	if (stoppingStream) {
		stoppingStream = false;
		stream = OutputHistory::Off;
	} else if (stream == OutputHistory::Starting) {
		// A start that failed stays the watch's to try again; a person's stop ends it.
		if (byPerson) {
			stream = OutputHistory::StoppedByPerson;
			streamCheckAt = 0;
		}
	} else if (stream == OutputHistory::OnByCurtainUp) {
		stream = byPerson ? OutputHistory::StoppedByPerson : OutputHistory::Dropped;
		if (!byPerson)
			showProblem(moduleText("Problem.StreamDropped"));
	} else if (stream == OutputHistory::OnByOthers) {
		stream = OutputHistory::Off;
	}
	keep();
}

void ShowOutputs::recordingStopped()
{
	recording = OutputHistory::Off;
	recordingOwed = false;
	keep();
}

void ShowOutputs::orderlyExit()
{
	cancel();
	stream = recording = OutputHistory::Off;
	keep();
}

int64_t ShowOutputs::streamStopAt(int64_t now) const
{
	return stopPaused ? now + stopRemaining : stopAt;
}

void ShowOutputs::keep()
{
	StartedOutputs kept;
	kept.stream = ours(stream);
	kept.recording = ours(recording);
	kept.active = kept.stream || kept.recording;
	storeStartedOutputs(kept);
}
