#include "crew/crew_server.h"

#include "base/module_host.h"
#include "crew/crew_routes.h"

// Asio without Boost, as Debian packages it for websocketpp. obs-websocket carries its
// own copies of both in the same process: Asio would give its symbols default visibility,
// so it is told not to, and every symbol stays inside the module, binding to none of theirs.
#define ASIO_STANDALONE
#define ASIO_DISABLE_VISIBILITY
#include <websocketpp/config/asio_no_tls.hpp>
#include <websocketpp/server.hpp>

#include <pthread.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace {

using Server = websocketpp::server<websocketpp::config::asio>;
using Handle = websocketpp::connection_hdl;
using Status = websocketpp::http::status_code::value;

// Asio's loop of the server: websocketpp 0.8 names it get_io_service, later versions
// get_io_context.
template<typename S> auto loopOf(S &server, int) -> decltype(server.get_io_context())
{
	return server.get_io_context();
}
template<typename S> auto loopOf(S &server, long) -> decltype(server.get_io_service())
{
	return server.get_io_service();
}

// How long the pages have to hear "going away" before the loop ends.
constexpr long closeGraceMs = 100;

// The state as one page hears it: with what its key allows.
std::string withAccess(const std::string &state, CrewAccess access)
{
	return std::string("{\"access\":\"") + (access == CrewAccess::Control ? "control" : "view") + "\"," +
	       state.substr(1);
}

std::string jsonString(const std::string &text)
{
	std::string quoted = "\"";
	for (unsigned char c : text) {
		if (c == '"' || c == '\\') {
			quoted += '\\';
			quoted += char(c);
		} else if (c < 0x20) {
			char escaped[8];
			snprintf(escaped, sizeof escaped, "\\u%04x", c);
			quoted += escaped;
		} else {
			quoted += char(c);
		}
	}
	return quoted + "\"";
}

} // namespace

struct CrewServer::Impl {
	// Tokens of actions per key: a burst up to the rate, refilled at the rate.
	struct ActionBucket {
		double tokens = CrewServer::actionsPerSecond;
		std::chrono::steady_clock::time_point filled = std::chrono::steady_clock::now();

		bool take()
		{
			const auto now = std::chrono::steady_clock::now();
			const double seconds = std::chrono::duration<double>(now - filled).count();
			filled = now;
			tokens = std::min<double>(CrewServer::actionsPerSecond, tokens + seconds * CrewServer::actionsPerSecond);
			if (tokens < 1)
				return false;
			tokens -= 1;
			return true;
		}
	};

	Server server;
	Options options;
	std::thread thread;
	// I/O thread only, from here on.
	std::map<Handle, CrewAccess, std::owner_less<Handle>> channels;
	ActionBucket controlBucket; // the view key cannot act
	std::string lastState;
	Server::timer_ptr pingTimer;

	int openOf(CrewAccess access) const
	{
		int open = 0;
		for (const auto &channel : channels)
			open += channel.second == access;
		return open;
	}

	void send(Handle handle, const std::string &text)
	{
		std::error_code ec;
		Server::connection_ptr connection = server.get_con_from_hdl(handle, ec);
		if (ec)
			return;
		if (connection->get_buffered_amount() > sendBacklogBytes) {
			connection->close(websocketpp::close::status::policy_violation, "not reading", ec);
			return;
		}
		connection->send(text, websocketpp::frame::opcode::text);
	}

	void answer(Handle handle, long long id, const Answer &answer)
	{
		std::string text = "{\"type\":\"answer\",\"id\":" + std::to_string(id) +
				   ",\"ok\":" + (answer.error.empty() ? "true" : "false");
		if (!answer.error.empty())
			text += ",\"error\":" + jsonString(answer.error);
		if (answer.asksRestart)
			text += ",\"ask\":\"restart\"";
		send(handle, text + "}");
	}

	void pingAll()
	{
		for (const auto &channel : channels) {
			std::error_code ec;
			server.ping(channel.first, std::string(), ec);
		}
		pingTimer = server.set_timer(pingMs, [this](const std::error_code &ec) {
			if (!ec)
				pingAll();
		});
	}

	void closeAll()
	{
		std::error_code ec;
		server.stop_listening(ec);
		if (pingTimer)
			pingTimer->cancel();
		for (const auto &channel : channels)
			server.close(channel.first, websocketpp::close::status::going_away, "closed", ec);
	}
};

CrewServer::CrewServer(CrewActionWorker &worker, RunAction runAction, WallClock wallClock)
    : worker(worker), runAction(std::move(runAction)), wallClock(std::move(wallClock))
{
}

CrewServer::~CrewServer()
{
	stop();
}

bool CrewServer::running() const
{
	return impl != nullptr;
}

bool CrewServer::start(const Options &options, std::string &error)
{
	stop();
	auto made = std::make_shared<Impl>();
	Impl *state = made.get();
	Server &server = made->server;
	made->options = options;
	server.clear_access_channels(websocketpp::log::alevel::all);
	server.clear_error_channels(websocketpp::log::elevel::all);
	std::error_code ec;
	server.init_asio(ec);
	if (ec) {
		error = ec.message();
		return false;
	}
	server.set_reuse_addr(true);
	server.set_open_handshake_timeout(handshakeMs);
	server.set_close_handshake_timeout(500);
	server.set_pong_timeout(pingMs);
	server.set_max_message_size(crewMessageMaxBytes);
	server.set_max_http_body_size(0);

	// The page: a plain GET of a link with its key; nothing is read from disk.
	server.set_http_handler([state](Handle handle) {
		Server::connection_ptr connection = state->server.get_con_from_hdl(handle);
		const CrewTarget target = parseCrewTarget(connection->get_resource());
		const std::string host = connection->get_request_header("Host");
		const CrewAccess access = crewAccess(target.key, state->options.viewKey, state->options.controlKey);
		connection->append_header("Cache-Control", "no-store");
		connection->append_header("Referrer-Policy", "no-referrer");
		connection->append_header("X-Content-Type-Options", "nosniff");
		connection->append_header("Content-Type", "text/plain; charset=utf-8");
		Status status = Status::ok;
		if (!crewHostAllowed(host, state->options.ownNames))
			status = Status::forbidden;
		else if (connection->get_request().get_method() != "GET")
			status = Status::method_not_allowed;
		else if (target.route != CrewRoute::View && target.route != CrewRoute::Control)
			status = Status::not_found;
		else if (target.key.empty())
			status = Status::unauthorized;
		else if (access == CrewAccess::None || (target.route == CrewRoute::Control && access != CrewAccess::Control))
			status = Status::forbidden;
		connection->set_status(status);
		if (status != Status::ok) {
			connection->set_body(websocketpp::http::status_code::get_string(status) + "\n");
			return;
		}
		connection->replace_header("Content-Type", "text/html; charset=utf-8");
		connection->append_header("Content-Security-Policy",
					  "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
					  "connect-src 'self'; img-src 'self' data:; base-uri 'none'; form-action 'none'; "
					  "frame-ancestors 'none'");
		connection->set_body(state->options.page);
	});

	// The live channel: a key, this computer's Host, the page's own Origin, and room left
	// for that key; else refused before it opens.
	server.set_validate_handler([state](Handle handle) {
		Server::connection_ptr connection = state->server.get_con_from_hdl(handle);
		const CrewTarget target = parseCrewTarget(connection->get_resource());
		const std::string host = connection->get_request_header("Host");
		const CrewAccess access = crewAccess(target.key, state->options.viewKey, state->options.controlKey);
		Status status = Status::switching_protocols;
		if (!crewHostAllowed(host, state->options.ownNames) || !crewOriginAllowed(connection->get_origin(), host))
			status = Status::forbidden;
		else if (target.route != CrewRoute::Live)
			status = Status::not_found;
		else if (target.key.empty())
			status = Status::unauthorized;
		else if (access == CrewAccess::None)
			status = Status::forbidden;
		else if (state->openOf(access) >= connectionsPerKey)
			status = Status::service_unavailable;
		if (status != Status::switching_protocols) {
			connection->set_status(status);
			return false;
		}
		state->channels[handle] = access;
		return true;
	});
	server.set_open_handler([state](Handle handle) {
		const auto channel = state->channels.find(handle);
		if (channel != state->channels.end() && !state->lastState.empty())
			state->send(handle, withAccess(state->lastState, channel->second));
	});
	server.set_close_handler([state](Handle handle) { state->channels.erase(handle); });
	server.set_fail_handler([state](Handle handle) { state->channels.erase(handle); });
	server.set_pong_timeout_handler([state](Handle handle, std::string) {
		std::error_code ignored;
		state->server.close(handle, websocketpp::close::status::policy_violation, "no answer", ignored);
	});

	std::weak_ptr<Impl> weak = made;
	server.set_message_handler([this, state, weak](Handle handle, Server::message_ptr received) {
		const auto channel = state->channels.find(handle);
		if (channel == state->channels.end())
			return;
		const CrewMessage message = parseCrewMessage(received->get_payload());
		if (message.kind == CrewMessage::Ping) {
			state->send(handle, "{\"type\":\"pong\",\"id\":" + std::to_string(message.id) + ",\"sent\":" +
						    std::to_string(message.sent) +
						    ",\"server_ms\":" + std::to_string(wallClock()) + "}");
			return;
		}
		Answer refused;
		if (message.kind == CrewMessage::Bad)
			refused.error = message.error;
		else if (channel->second != CrewAccess::Control)
			refused.error = "This link can only watch; nothing was done.";
		else if (!state->controlBucket.take())
			refused.error = "Too many actions at once; nothing was done. Wait a moment.";
		if (!refused.error.empty()) {
			state->answer(handle, message.id, refused);
			return;
		}
		const bool taken = worker.submit([run = runAction, weak, handle, message] {
			const Answer answer = run(message.request, message.dataJson);
			if (std::shared_ptr<Impl> alive = weak.lock())
				asio::post(loopOf(alive->server, 0), [alive, handle, id = message.id, answer] {
					alive->answer(handle, id, answer);
				});
		});
		if (!taken)
			state->answer(handle, message.id, {"Too many actions are waiting; nothing was done.", false});
	});

	asio::ip::tcp::endpoint endpoint(asio::ip::make_address(options.address, ec), options.port);
	if (!ec)
		server.listen(endpoint, ec);
	if (!ec)
		server.start_accept(ec);
	if (ec) {
		error = ec.message();
		return false;
	}
	made->pingAll();
	made->thread = std::thread([state] {
		pthread_setname_np(pthread_self(), "curtainup-crew");
		// A handler that throws ends the page's server, never OBS.
		try {
			state->server.run();
		} catch (const std::exception &error) {
			moduleLog(LOG_WARNING, "crew page: the server stopped: %s", error.what());
		}
	});
	impl = std::move(made);
	return true;
}

void CrewServer::stop()
{
	if (!impl)
		return;
	std::shared_ptr<Impl> stopping = std::move(impl);
	// Each page hears "going away" (and reconnects to a new server, or is refused), then
	// the loop ends whatever is left.
	asio::post(loopOf(stopping->server, 0), [state = stopping.get()] {
		state->closeAll();
		state->server.set_timer(closeGraceMs, [state](const std::error_code &) { state->server.stop(); });
	});
	stopping->thread.join();
}

void CrewServer::publish(std::string stateJson)
{
	if (!impl)
		return;
	asio::post(loopOf(impl->server, 0), [state = impl.get(), text = std::move(stateJson)] {
		state->lastState = text;
		for (const auto &channel : state->channels)
			state->send(channel.first, withAccess(text, channel.second));
	});
}
