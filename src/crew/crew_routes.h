#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the crew's page server makes of what a client sends, apart from the server: the
// request target, the Host and Origin headers, the key and the page's action messages.

enum class CrewRoute { View, Control, Live, Unknown };
enum class CrewAccess { None, View, Control };

struct CrewTarget {
	CrewRoute route = CrewRoute::Unknown;
	std::string key; // the "key" of the query, as sent; empty when there is none
};

// "/view?key=…", "/control?key=…" or "/live?key=…"; other parameters are ignored.
CrewTarget parseCrewTarget(std::string_view target);

// The key compared with both in time that does not depend on where they differ.
CrewAccess crewAccess(std::string_view key, std::string_view viewKey, std::string_view controlKey);

// The host of a Host header ("name" or "name:port", no IPv6), lower case; empty when it
// is malformed.
std::string crewHostName(std::string_view hostHeader);
// The Host header names one of this computer's own names or addresses.
bool crewHostAllowed(std::string_view hostHeader, const std::vector<std::string> &ownNames);
// A live channel opened from a page of this server: no Origin (not a browser), or the
// page's own, "http://" and the Host header.
bool crewOriginAllowed(std::string_view origin, std::string_view hostHeader);

// A message a page sends on the live channel.
struct CrewMessage {
	enum Kind { Ping, Action, Bad } kind = Bad;
	long long id = 0;
	long long sent = 0;   // a ping's local time, sent back with the answer
	std::string request;  // an action's request name
	std::string dataJson; // its fields, a JSON object
	std::string error;    // why a Bad message was refused
};

// Longest message a page may send.
constexpr size_t crewMessageMaxBytes = 2048;

CrewMessage parseCrewMessage(std::string_view text);
