#include "crew/crew_routes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <set>
#include <vector>

namespace {

// The actions the remote offers: the dock's buttons, the hold, the time, the arming and
// the message. The page's own settings and the presets are not reached from a page.
constexpr const char *pageActions[] = {
	"StartStandby", "GoMain", "StartBreak", "EndBreak", "ToggleBreak", "StartEnding", "Cancel",
	"Hold",         "AddTime", "Arm",       "Disarm",  "SetMessage",  "ClearMessage",
};

constexpr char crewSender[] = "crew page";

bool sameInConstantTime(std::string_view a, std::string_view b)
{
	// The length of a key is no secret; its digits are.
	if (a.size() != b.size())
		return false;
	unsigned char difference = 0;
	for (size_t i = 0; i < a.size(); ++i)
		difference |= static_cast<unsigned char>(a[i] ^ b[i]);
	return difference == 0;
}

std::string lowered(std::string_view text)
{
	std::string result(text);
	std::transform(result.begin(), result.end(), result.begin(),
		       [](unsigned char c) { return char(std::tolower(c)); });
	return result;
}

// The name a field's quoted text stands for, its escapes read.
QString fieldName(std::string_view quoted)
{
	if (quoted.find('\\') == std::string_view::npos)
		return QString::fromUtf8(quoted.data() + 1, int(quoted.size()) - 2);
	const QByteArray list = "[" + QByteArray(quoted.data(), int(quoted.size())) + "]";
	return QJsonDocument::fromJson(list).array().at(0).toString();
}

// The first field named twice in one object of a message, if any. Qt 5's parser loses the
// memory of the first value of such a field when it is an object or an array, and no page
// sends one, so such a message is refused before it is parsed.
std::optional<QString> repeatedField(std::string_view text)
{
	std::vector<std::optional<std::set<QString>>> open; // the names of each open object; none for an array
	for (size_t at = 0; at < text.size(); ++at) {
		const char c = text[at];
		if (c == '{') {
			open.emplace_back(std::set<QString>());
		} else if (c == '[') {
			open.emplace_back(std::nullopt);
		} else if ((c == '}' || c == ']') && !open.empty()) {
			open.pop_back();
		} else if (c == '"') {
			const size_t start = at;
			for (++at; at < text.size() && text[at] != '"'; ++at)
				if (text[at] == '\\')
					++at;
			if (at >= text.size())
				return std::nullopt; // unterminated: the parser refuses it
			size_t next = at + 1;
			while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next])))
				++next;
			if (next < text.size() && text[next] == ':' && !open.empty() && open.back()) {
				const QString name = fieldName(text.substr(start, at - start + 1));
				if (!open.back()->insert(name).second)
					return name;
			}
		}
	}
	return std::nullopt;
}

// Ids and times: whole, not negative, and exact in a double.
bool wholeNumber(const QJsonValue &value)
{
	const double number = value.toDouble(-1);
	return value.isDouble() && number >= 0 && number <= 9007199254740991.0 && number == std::floor(number);
}

} // namespace

CrewTarget parseCrewTarget(std::string_view target)
{
	CrewTarget parsed;
	const size_t question = target.find('?');
	const std::string_view path = target.substr(0, question);
	if (path == "/view")
		parsed.route = CrewRoute::View;
	else if (path == "/control")
		parsed.route = CrewRoute::Control;
	else if (path == "/live")
		parsed.route = CrewRoute::Live;
	if (question == std::string_view::npos)
		return parsed;
	std::string_view query = target.substr(question + 1);
	while (!query.empty()) {
		const size_t amp = query.find('&');
		const std::string_view pair = query.substr(0, amp);
		if (pair.substr(0, 4) == "key=") {
			parsed.key = std::string(pair.substr(4));
			break;
		}
		query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
	}
	return parsed;
}

CrewAccess crewAccess(std::string_view key, std::string_view viewKey, std::string_view controlKey)
{
	// Both compared every time, so the answer's timing tells nothing of which one is near.
	const bool view = !viewKey.empty() && sameInConstantTime(key, viewKey);
	const bool control = !controlKey.empty() && sameInConstantTime(key, controlKey);
	if (control)
		return CrewAccess::Control;
	return view ? CrewAccess::View : CrewAccess::None;
}

std::string crewHostName(std::string_view hostHeader)
{
	std::string_view host = hostHeader;
	const size_t colon = host.find(':');
	if (colon != std::string_view::npos) {
		const std::string_view port = host.substr(colon + 1);
		if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), ::isdigit))
			return std::string();
		host = host.substr(0, colon);
	}
	if (host.empty() || host.size() > 253)
		return std::string();
	for (char c : host)
		if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
			return std::string();
	return lowered(host);
}

bool crewHostAllowed(std::string_view hostHeader, const std::vector<std::string> &ownNames)
{
	const std::string host = crewHostName(hostHeader);
	if (host.empty())
		return false;
	return std::any_of(ownNames.begin(), ownNames.end(), [&](const std::string &name) { return lowered(name) == host; });
}

bool crewOriginAllowed(std::string_view origin, std::string_view hostHeader)
{
	if (origin.empty())
		return true;
	return lowered(origin) == "http://" + lowered(hostHeader);
}

CrewMessage parseCrewMessage(std::string_view text)
{
	CrewMessage message;
	if (text.size() > crewMessageMaxBytes) {
		message.error = "The message is too long.";
		return message;
	}
	if (const std::optional<QString> repeated = repeatedField(text)) {
		message.error = "The message gives the field '" + repeated->left(40).toStdString() + "' twice.";
		return message;
	}
	QJsonParseError parseError;
	const QJsonDocument document =
		QJsonDocument::fromJson(QByteArray(text.data(), int(text.size())), &parseError);
	if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
		message.error = "The message is not a JSON object.";
		return message;
	}
	const QJsonObject object = document.object();
	const QJsonValue id = object.value(QStringLiteral("id"));
	if (!wholeNumber(id)) {
		message.error = "'id' must be a whole number.";
		return message;
	}
	message.id = (long long)id.toDouble();
	const QString type = object.value(QStringLiteral("type")).toString();
	if (type == QLatin1String("ping")) {
		message.kind = CrewMessage::Ping;
		const QJsonValue sent = object.value(QStringLiteral("sent"));
		message.sent = wholeNumber(sent) ? (long long)sent.toDouble() : 0;
		return message;
	}
	if (type != QLatin1String("action")) {
		message.error = "'type' must be \"ping\" or \"action\".";
		return message;
	}
	const std::string request = object.value(QStringLiteral("request")).toString().toStdString();
	if (std::none_of(std::begin(pageActions), std::end(pageActions),
			 [&](const char *name) { return request == name; })) {
		message.error = "The page offers no action '" + request.substr(0, 40) + "'.";
		return message;
	}
	const QJsonValue dataValue = object.value(QStringLiteral("data"));
	if (!dataValue.isUndefined() && !dataValue.isObject()) {
		message.error = "'data' must be an object.";
		return message;
	}
	QJsonObject data = dataValue.toObject();
	// A resume from the page is a person's: the crew page's, whatever the page claims.
	if (request == "Hold")
		data.insert(QStringLiteral("from"), QLatin1String(crewSender));
	message.kind = CrewMessage::Action;
	message.request = request;
	message.dataJson = QJsonDocument(data).toJson(QJsonDocument::Compact).toStdString();
	return message;
}
