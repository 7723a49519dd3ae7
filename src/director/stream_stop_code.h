#pragma once

#include <obs.hpp>

#include <atomic>

// How the host's stream output last stopped. A stop that someone asked for (a person, or
// CurtainUp itself) passes through the output's "stopping" signal first; a failed
// connection or a drop its reconnect gave up on ends with an error code and no "stopping".
// The frontend's "streaming stopped" event does not say which, so the output is heard.
class StreamStopCode {
public:
	StreamStopCode() = default;
	~StreamStopCode();
	StreamStopCode(const StreamStopCode &) = delete;
	StreamStopCode &operator=(const StreamStopCode &) = delete;

	// Hears the stream output OBS uses now (it may make a new one for each start), from
	// its next stop on.
	void follow();
	// The last stop was asked for; a stop that was not heard counts as not asked.
	bool lastStopWasClean() const { return stopAsked.load(); }

private:
	void release();
	static void onStopping(void *self, calldata_t *data);
	static void onStop(void *self, calldata_t *data);

	OBSWeakOutputAutoRelease followed;
	std::atomic<bool> stopAsked{false};
};
