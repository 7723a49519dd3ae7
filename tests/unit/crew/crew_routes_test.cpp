// What the crew page's server makes of a client's target, headers, key and messages.
#include "crew/crew_routes.h"

#include <gtest/gtest.h>

namespace {
const std::string viewKey(32, 'a'), controlKey(32, 'c');
}

TEST(CrewRoutes, TargetsKeysAndHostsGetTheirAccess)
{
	const struct {
		const char *target;
		CrewRoute route;
		CrewAccess access;
	} targets[] = {
		{"/view?key=" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", CrewRoute::View, CrewAccess::View},
		{"/control?lang=ja&key=" "cccccccccccccccccccccccccccccccc", CrewRoute::Control, CrewAccess::Control},
		{"/live?key=" "cccccccccccccccccccccccccccccccc&x=1", CrewRoute::Live, CrewAccess::Control},
		{"/view?key=" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", CrewRoute::View, CrewAccess::None},  // one short
		{"/view?key=" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", CrewRoute::View, CrewAccess::None}, // one long
		{"/view?key=", CrewRoute::View, CrewAccess::None},
		{"/view", CrewRoute::View, CrewAccess::None},
		{"/view/?key=" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", CrewRoute::Unknown, CrewAccess::View},
		{"/../view?key=x", CrewRoute::Unknown, CrewAccess::None},
	};
	for (const auto &target : targets) {
		const CrewTarget parsed = parseCrewTarget(target.target);
		EXPECT_EQ(parsed.route, target.route) << target.target;
		EXPECT_EQ(crewAccess(parsed.key, viewKey, controlKey), target.access) << target.target;
	}
	EXPECT_EQ(crewAccess("", "", ""), CrewAccess::None) << "no keys made: nothing opens";

	const std::vector<std::string> own{"localhost", "127.0.0.1", "studio", "192.168.1.20"};
	const struct {
		const char *host;
		bool allowed;
	} hosts[] = {
		{"127.0.0.1:4460", true}, {"LOCALHOST:4460", true}, {"studio", true},        {"192.168.1.20:4460", true},
		{"evil.example:4460", false}, {"127.0.0.1.evil:4460", false}, {"[::1]:4460", false}, {"127.0.0.1:", false},
		{"127.0.0.1:44600000", false}, {"", false},
	};
	for (const auto &host : hosts)
		EXPECT_EQ(crewHostAllowed(host.host, own), host.allowed) << host.host;
	EXPECT_TRUE(crewOriginAllowed("", "127.0.0.1:4460")) << "not a browser";
	EXPECT_TRUE(crewOriginAllowed("http://127.0.0.1:4460", "127.0.0.1:4460"));
	EXPECT_FALSE(crewOriginAllowed("http://evil.example", "127.0.0.1:4460"));
	EXPECT_FALSE(crewOriginAllowed("https://127.0.0.1:4460", "127.0.0.1:4460"));
}

TEST(CrewRoutes, ThePagesMessagesAreCheckedAndAHoldIsTheCrewPages)
{
	const struct {
		std::string text;
		CrewMessage::Kind kind;
		const char *request;
		const char *dataJson;
		const char *error;
	} messages[] = {
		{R"({"type":"ping","id":4,"sent":1767268800000})", CrewMessage::Ping, "", "", ""},
		{R"({"type":"action","id":5,"request":"ToggleBreak"})", CrewMessage::Action, "ToggleBreak", "{}", ""},
		{R"({"type":"action","id":6,"request":"Hold","data":{"on":false,"from":"auto-resume"}})", CrewMessage::Action,
		 "Hold", R"({"from":"crew page","on":false})", ""},
		{R"({"type":"action","id":7,"request":"SetCrewPage","data":{"on":false}})", CrewMessage::Bad, "", "",
		 "The page offers no action 'SetCrewPage'."},
		{R"({"type":"action","id":8,"request":"Arm","data":[1]})", CrewMessage::Bad, "", "", "'data' must be an object."},
		{R"({"type":"action","id":-1,"request":"Cancel"})", CrewMessage::Bad, "", "", "'id' must be a whole number."},
		{R"({"type":"action","id":1.5,"request":"Cancel"})", CrewMessage::Bad, "", "", "'id' must be a whole number."},
		{R"({"type":"shout","id":1})", CrewMessage::Bad, "", "", "'type' must be \"ping\" or \"action\"."},
		{"[1,2]", CrewMessage::Bad, "", "", "The message is not a JSON object."},
		// Qt 5 would lose the memory of the first "data" (the sanitizers' leak check sees it).
		{R"({"type":"action","id":3,"request":"Hold","data":{"f":"a"},"data":{"f":"a"}})", CrewMessage::Bad, "", "",
		 "The message gives the field 'data' twice."},
		{R"({"type":"ping","id":3,"d\u0061ta":[1],"x":{"data":1},"data":[2]})", CrewMessage::Bad, "", "",
		 "The message gives the field 'data' twice."},
		{std::string(crewMessageMaxBytes + 1, ' '), CrewMessage::Bad, "", "", "The message is too long."},
	};
	for (const auto &message : messages) {
		const CrewMessage parsed = parseCrewMessage(message.text);
		EXPECT_EQ(parsed.kind, message.kind) << message.text.substr(0, 60);
		EXPECT_EQ(parsed.request, message.request) << message.text.substr(0, 60);
		EXPECT_EQ(parsed.dataJson, message.dataJson) << message.text.substr(0, 60);
		EXPECT_EQ(parsed.error, message.error) << message.text.substr(0, 60);
	}
}
