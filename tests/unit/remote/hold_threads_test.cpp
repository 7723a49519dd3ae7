// Many threads asking for holds while others read the flow and the state through the real
// procedure handler: every answer is whole, and the UI thread applies the holds one by one.
// Meant to run under ThreadSanitizer as well.
#include "module_fixture.h"

#include <QString>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::set<std::string> stepNames{"none",       "after_zero",      "op",    "op_no_media",
				      "going_main", "back_from_break", "ending"};
const std::set<std::string> phaseNames{"idle", "standby", "op", "break", "ending"};

// A hold reason is kept to its first 200 characters.
constexpr int storedReasonChars = 200;

// What the flow's reason reads as once a request's reason went through the UI thread.
std::string asStored(const std::string &reason)
{
	return QString::fromStdString(reason).left(storedReasonChars).toStdString();
}

} // namespace

TEST_F(ModuleTest, ManyThreadsHoldingWhileOthersReadGetWholeAnswers)
{
	constexpr int holders = 4;
	constexpr int readers = 3;
	constexpr int callsEach = 250;
	const std::vector<std::string> reasons{"", "mic check", "line\r\nbreak", "待った", std::string(4096, 'z')};
	std::set<std::string> heldReasons;
	for (const std::string &reason : reasons)
		heldReasons.insert(asStored(reason));
	const std::string megabyte(1 << 20, 'm');
	heldReasons.insert(asStored(megabyte));

	director->startStandby();
	std::atomic<int> holdersDone{0};
	std::atomic<int> wrongAnswers{0};
	std::atomic<long> answers{0};

	std::vector<std::thread> threads;
	for (int h = 0; h < holders; ++h) {
		threads.emplace_back([&, h] {
			const std::string desk = "desk " + std::to_string(h) + "\r\n";
			callHold(true, desk.c_str(), megabyte.c_str());
			for (int k = 0; k < callsEach; ++k) {
				const char *from = k % 3 == 0 ? "auto-runner" : desk.c_str();
				callHold(k % 2 == 0, k % 5 == 4 ? nullptr : from,
					 reasons[size_t(k) % reasons.size()].c_str());
			}
			++holdersDone;
		});
	}
	for (int r = 0; r < readers; ++r) {
		threads.emplace_back([&] {
			// At least one round, even when the holders finish before this thread runs.
			do {
				const Flow flow = callGetFlow();
				const bool whole =
					stepNames.count(flow.step) == 1 &&
					(flow.held ? heldReasons.count(flow.reason) == 1 : flow.reason.empty());
				calldata_t data;
				calldata_init(&data);
				proc_handler_call(handler, "curtainup_get_state", &data);
				const char *mode = calldata_string(&data, "mode");
				const bool wholeState = mode && phaseNames.count(mode) == 1;
				calldata_free(&data);
				if (!whole || !wholeState)
					++wrongAnswers;
				++answers;
			} while (holdersDone.load() < holders);
		});
	}

	// The test's main thread is the UI thread: it runs the queued holds while they come.
	while (holdersDone.load() < holders)
		deliverQueued();
	for (std::thread &thread : threads)
		thread.join();
	deliverQueued();

	EXPECT_EQ(wrongAnswers.load(), 0);
	EXPECT_GT(answers.load(), 0);
	const Flow last = callGetFlow();
	const FlowStatus status = director->flowStatus();
	EXPECT_EQ(last.held, status.held);
	EXPECT_EQ(last.reason, status.holdReason.toStdString());
	EXPECT_GT(log.count("再開を拒否"), 0);
	for (const LogCapture::Line &line : log.lines()) {
		EXPECT_EQ(line.text.find_first_of("\r\n"), std::string::npos) << line.text.substr(0, 80);
		EXPECT_LT(line.text.size(), 1000u);
	}
}
