// Calls the module's procedures on libobs's own procedure handler with call data built
// from each input, then lets the queued hold requests run as the UI thread would.
//
// Input, byte by byte (a missing byte reads 0):
//   start   bit 0: a director exists; bit 1: the module is alive; bit 2: standby runs
//   then calls until the input ends:
//     procedure  % 3: curtainup_hold, curtainup_get_state, curtainup_get_flow
//     count      % 8: members of the call data, each:
//       name     % 9: on, from, reason, mode, counting, standby_scene, step, held, held_reason
//       type     % 6: bool, int, float, string (up to its first zero byte), raw data, pointer
//       length, then that many payload bytes
//     after      bit 0: the host's exit event comes before the UI thread runs the request
#include "fuzz_process.h"
#include "ui_task_queue.h"

#include "fake_host.h"
#include "base/module_alive.h"
#include "director/director.h"
#include "remote/procedures.h"
#include "show/flow_step.h"
#include "show/show_state.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char *procedures[] = {"curtainup_hold", "curtainup_get_state", "curtainup_get_flow"};
constexpr const char *memberNames[] = {"on",   "from", "reason",     "mode", "counting", "standby_scene",
				       "step", "held", "held_reason"};

class Input {
public:
	Input(const uint8_t *data, size_t size) : data(data), size(size) {}

	bool empty() const { return offset >= size; }
	uint8_t byte() { return empty() ? 0 : data[offset++]; }
	// Up to `length` bytes, fewer when the input ends first.
	std::string bytes(size_t length)
	{
		const size_t taken = std::min(length, size - std::min(offset, size));
		std::string result(reinterpret_cast<const char *>(data + offset), taken);
		offset += taken;
		return result;
	}
	template<typename T> T value()
	{
		T result{};
		const std::string raw = bytes(sizeof(T));
		memcpy(&result, raw.data(), raw.size());
		return result;
	}

private:
	const uint8_t *data;
	size_t size;
	size_t offset = 0;
};

void addMember(calldata_t *call, Input &in)
{
	const char *name = memberNames[in.byte() % std::size(memberNames)];
	const int type = in.byte() % 6;
	const std::string bytes = in.bytes(in.byte());
	Input value(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
	switch (type) {
	case 0:
		calldata_set_bool(call, name, value.byte() & 1);
		break;
	case 1:
		calldata_set_int(call, name, value.value<long long>());
		break;
	case 2:
		calldata_set_float(call, name, value.value<double>());
		break;
	case 3:
		calldata_set_string(call, name, bytes.c_str());
		break;
	case 4:
		calldata_set_data(call, name, bytes.data(), bytes.size());
		break;
	default:
		calldata_set_ptr(call, name, reinterpret_cast<void *>(value.value<uintptr_t>()));
		break;
	}
}

[[noreturn]] void fail(const char *what, const char *text)
{
	fprintf(stderr, "%s: '%s'\n", what, text ? text : "(null)");
	abort();
}

// An answer is there and is UTF-8 text.
const char *checkedText(calldata_t *call, const char *name)
{
	const char *text = calldata_string(call, name);
	if (!text)
		fail("answer missing", name);
	const QByteArray bytes(text);
	if (QString::fromUtf8(bytes).toUtf8() != bytes)
		fail("answer not UTF-8", text);
	return text;
}

bool isOneOf(const char *text, const char *(*nameOf)(int), int count)
{
	for (int i = 0; i < count; ++i) {
		if (strcmp(text, nameOf(i)) == 0)
			return true;
	}
	return false;
}

void checkAnswers(const char *procedure, calldata_t *call)
{
	if (strcmp(procedure, "curtainup_get_state") == 0) {
		const char *mode = checkedText(call, "mode");
		if (!isOneOf(mode, phaseName, PhaseEnding + 1))
			fail("unknown mode", mode);
		checkedText(call, "standby_scene");
	} else if (strcmp(procedure, "curtainup_get_flow") == 0) {
		const char *step = checkedText(call, "step");
		if (!isOneOf(step, stepName, StepEnding + 1))
			fail("unknown step", step);
		checkedText(call, "held_reason");
	}
}

void callOnce(Input &in)
{
	const char *procedure = procedures[in.byte() % std::size(procedures)];
	calldata_t call;
	calldata_init(&call);
	const int members = in.byte() % 8;
	for (int i = 0; i < members; ++i)
		addMember(&call, in);
	const uint8_t after = in.byte();

	if (!proc_handler_call(obs_get_proc_handler(), procedure, &call))
		fail("procedure not registered", procedure);
	checkAnswers(procedure, &call);
	calldata_free(&call);

	if (after & 1)
		setModuleAlive(false);
	runQueuedUiTasks();
}

void queueUiTaskHere(obs_task_t task, void *param, bool wait)
{
	if (wait)
		fail("a UI task asked to be waited for", "");
	queueUiTask(task, param);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
	startFuzzProcess(argc, argv);
	// The core's hotkeys need an X display (run_fuzz.sh provides one).
	if (!obs_startup("en-US", nullptr, nullptr))
		fail("libobs did not start", getenv("DISPLAY"));
	obs_set_ui_task_handler(queueUiTaskHere);
	addStateProcedure();
	addFlowProcedures();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	Input in(data, size);
	const uint8_t start = in.byte();
	if (start & 1)
		createDirector(std::make_unique<FakeHost>());
	setModuleAlive(start & 2);
	if ((start & 4) && directorInstance())
		directorInstance()->startStandby();

	while (!in.empty())
		callOnce(in);

	setModuleAlive(false);
	QCoreApplication::sendPostedEvents();
	destroyDirector();
	showState().resetCountdown();
	showState().setHeld(false);
	publishFlow(FlowStatus());
	return 0;
}
