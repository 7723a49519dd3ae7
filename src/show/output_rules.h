#pragma once

// Who may start and stop what CurtainUp reaches outside the scene: the stream and the
// recording. Every start or stop the director makes asks this table first.
//
// A person (OBS's own buttons, a Stream Deck through obs-websocket's StartStream, another
// plug-in) may always start and stop either output; CurtainUp never stands in the way and
// remembers a person's stop, so nothing of CurtainUp's starts that output again.

enum class OutputActor {
	ArmedShow,   // the go-live of an armed show
	StreamWatch, // the retry of CurtainUp's own start that has not gone live
	Ending,      // the ending's stream-stop timer
	Restart,     // OBS started again after it crashed
};

enum class Output { Stream, Recording };

// What happened to one output before, as CurtainUp saw it.
enum class OutputHistory {
	Off,           // not running, and nothing of CurtainUp's is owed
	OnByOthers,    // running, started by a person (or before CurtainUp looked)
	Starting,      // CurtainUp asked for it and it has not gone live yet
	OnByCurtainUp, // running, started by CurtainUp
	StoppedByPerson, // CurtainUp's, stopped by a person since
	Dropped,       // CurtainUp's, lost after it was live (OBS's reconnect gave up)
	CrashedWhileOn, // CurtainUp's when OBS crashed (read back after the restart)
};

enum class OutputVerdict {
	Leave, // nothing to do
	Act,   // start or stop it now
	Wait,  // held: it happens when a person resumes
};

struct OutputAsk {
	OutputActor actor;
	Output output;
	OutputHistory history;
	bool presetAsks; // go_live_record for the armed show's recording, stop_stream for the ending
	bool held;
};

OutputVerdict outputVerdict(const OutputAsk &ask);
