// Runs the obs-websocket vendor's requests with request data made from each input, as
// obs-websocket hands them over: any JSON text, valid or not, of any shape.
//
// Input, byte by byte (a missing byte reads 0):
//   start   bit 0: a director exists; bit 1: standby runs
//   then requests until the input ends:
//     request  % the number of requests: which one
//     length   the request data's length, then that many bytes of JSON text
#include "fuzz_process.h"
#include "temp_config.h"

#include "fake_host.h"
#include "director/director.h"
#include "remote/published_show.h"
#include "remote/websocket_requests.h"
#include "settings/config.h"
#include "show/show_state.h"

#include <QByteArray>
#include <QString>
#include <obs.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

TempConfig *config = nullptr;

[[noreturn]] void fail(const char *what, const char *text)
{
	fprintf(stderr, "%s: '%s'\n", what, text ? text : "(null)");
	abort();
}

bool isUtf8(const QByteArray &bytes)
{
	return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Every answer is a JSON object; a refusal says why in UTF-8 text, and GetState names a
// phase other tools know.
void checkAnswer(const WebsocketRequest &entry, const QString &error, obs_data_t *response)
{
	if (!isUtf8(error.toUtf8()))
		fail("refusal not UTF-8", entry.type);
	OBSDataAutoRelease parsed = obs_data_create_from_json(obs_data_get_json(response));
	if (!parsed)
		fail("answer not JSON", obs_data_get_json(response));
	if (error.isEmpty() && std::string(entry.type) == "GetState") {
		const std::string phase = obs_data_get_string(response, "phase");
		bool known = false;
		for (int value :
		     {int(PhaseIdle), int(PhaseStandby), int(PhaseOp), int(PhaseBreak), int(PhaseEnding), PhaseMain})
			known |= phase == phaseName(value);
		if (!known)
			fail("unknown phase", phase.c_str());
	}
}

void requestOnce(const uint8_t *&data, const uint8_t *end)
{
	const auto byte = [&] { return data < end ? *data++ : uint8_t(0); };
	const size_t count = size_t(std::distance(websocketRequestsBegin(), websocketRequestsEnd()));
	const WebsocketRequest &entry = websocketRequestsBegin()[byte() % count];
	const size_t length = std::min<size_t>(byte(), size_t(end - data));
	const std::string json(reinterpret_cast<const char *>(data), length);
	data += length;

	// obs-websocket hands over an object; JSON that is none reads as no data at all.
	OBSDataAutoRelease request = obs_data_create_from_json(json.c_str());
	OBSDataAutoRelease response = obs_data_create();
	const QString error = runWebsocketRequest(entry, request ? request.Get() : nullptr, response);
	checkAnswer(entry, error, response);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
	startFuzzProcess(argc, argv);
	config = new TempConfig;
	loadConfig();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	const uint8_t *end = data + size;
	const uint8_t start = size > 0 ? *data++ : 0;
	if (start & 1)
		createDirector(std::make_unique<FakeHost>());
	if ((start & 2) && directorInstance())
		directorInstance()->startStandby();
	if (Director *director = directorInstance())
		director->publishFlow();

	while (data < end)
		requestOnce(data, end);

	destroyDirector();
	showState().resetCountdown();
	showState().setHeld(false);
	loadConfig();
	return 0;
}
