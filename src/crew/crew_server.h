#pragma once

#include "crew/crew_action_worker.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The crew's page server: the page itself and its live channel (WebSocket) on one thread
// of its own, the actions of the remote on a worker thread of their own. It holds no show
// state but the last one published to it; nothing it does waits on OBS's UI or graphics
// thread, and no client waits on another.
class CrewServer {
public:
	struct Options {
		std::string address = "127.0.0.1"; // "0.0.0.0": every IPv4 interface
		uint16_t port = 4460;
		std::string viewKey;
		std::string controlKey;
		// The names a request's Host header may give: this computer's names and addresses.
		std::vector<std::string> ownNames;
		std::string page; // the HTML of both links
	};
	struct Answer {
		std::string error; // empty: done
		bool asksRestart = false;
	};
	// Runs one action of the remote on the worker thread: the request name and its fields
	// (a JSON object).
	using RunAction = std::function<Answer(const std::string &request, const std::string &dataJson)>;
	// The server's wall clock in ms, for the pages' offset.
	using WallClock = std::function<int64_t()>;

	// Limits every client lives within.
	static constexpr int handshakeMs = 2000;       // to show a valid key
	static constexpr int connectionsPerKey = 64;   // open live channels
	static constexpr int actionsPerSecond = 20;    // per key
	static constexpr int pingMs = 10000;           // a channel that does not answer is closed
	static constexpr size_t sendBacklogBytes = 1 << 20; // a client that does not read is closed

	// The worker outlives the server.
	CrewServer(CrewActionWorker &worker, RunAction runAction, WallClock wallClock);
	~CrewServer();

	// Listens and starts the threads; false with a sentence when it cannot listen.
	bool start(const Options &options, std::string &error);
	// Closes every connection and ends both threads. Safe to call when not started.
	void stop();
	bool running() const;
	// Any thread: the show's state as a JSON object, sent to every open page at once and
	// to each page that opens later.
	void publish(std::string stateJson);

private:
	struct Impl;
	// Shared with the actions still on the worker, which answer through it.
	std::shared_ptr<Impl> impl;
	CrewActionWorker &worker;
	RunAction runAction;
	WallClock wallClock;
};
