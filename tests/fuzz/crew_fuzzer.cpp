// What the crew page's server makes of a client's bytes: request targets, Host and Origin
// headers and the page's messages, each from any input, valid or not.
//
// Input: the first byte picks the reader (% 3), the rest is the text it reads.
#include "crew/crew_routes.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char *what, std::string_view text)
{
	fprintf(stderr, "%s: '%.*s'\n", what, int(text.size()), text.data());
	abort();
}

void readTarget(std::string_view text)
{
	const CrewTarget target = parseCrewTarget(text);
	if (!target.key.empty() && text.find("key=" + target.key) == std::string_view::npos)
		fail("a key that the target does not carry", text);
	const CrewAccess access = crewAccess(target.key, "0123456789abcdef0123456789abcdef", "fedcba9876543210fedcba9876543210");
	if (access != CrewAccess::None && target.key.size() != 32)
		fail("access for a key of another length", text);
}

void readHost(std::string_view text)
{
	for (char c : crewHostName(text))
		if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
			fail("a host name with a character no host has", text);
	if (crewHostAllowed(text, {"127.0.0.1", "localhost"}) && crewHostName(text) != "127.0.0.1" &&
	    crewHostName(text) != "localhost")
		fail("a host allowed that is not one of the names", text);
	// Scheme and host compare without case, as URLs do.
	std::string origin(text);
	std::transform(origin.begin(), origin.end(), origin.begin(), [](unsigned char c) { return std::tolower(c); });
	if (!text.empty() && crewOriginAllowed(text, "127.0.0.1:4460") && origin != "http://127.0.0.1:4460")
		fail("an origin allowed that is not the page's own", text);
}

void readMessage(std::string_view text)
{
	const CrewMessage message = parseCrewMessage(text);
	if (message.kind == CrewMessage::Bad && message.error.empty())
		fail("a refusal without a sentence", text);
	if (message.kind != CrewMessage::Action)
		return;
	const QJsonDocument data = QJsonDocument::fromJson(QByteArray::fromStdString(message.dataJson));
	if (!data.isObject())
		fail("action data that is not an object", text);
	if (message.request == "Hold" && data.object().value(QStringLiteral("from")).toString() != QLatin1String("crew page"))
		fail("a hold that is not the crew page's", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size == 0)
		return 0;
	const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
	switch (data[0] % 3) {
	case 0:
		readTarget(text);
		break;
	case 1:
		readHost(text);
		break;
	default:
		readMessage(text);
		break;
	}
	return 0;
}
