#include "log_capture.h"

#include <util/base.h>

#include <cstdarg>
#include <cstdio>

namespace {

void captureLine(int level, const char *format, va_list args, void *param)
{
	va_list copy;
	va_copy(copy, args);
	const int length = vsnprintf(nullptr, 0, format, copy);
	va_end(copy);
	std::string text(size_t(length > 0 ? length : 0), '\0');
	vsnprintf(text.data(), text.size() + 1, format, args);
	static_cast<LogCapture *>(param)->add(level, std::move(text));
}

void quietLine(int, const char *, va_list, void *) {}

} // namespace

LogCapture::LogCapture()
{
	base_set_log_handler(captureLine, this);
}

LogCapture::~LogCapture()
{
	base_set_log_handler(quietLine, nullptr);
}

void LogCapture::add(int level, std::string text)
{
	std::lock_guard<std::mutex> lock(mutex);
	captured.push_back({level, std::move(text)});
}

std::vector<LogCapture::Line> LogCapture::lines() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return captured;
}

int LogCapture::count(const std::string &text) const
{
	std::lock_guard<std::mutex> lock(mutex);
	int found = 0;
	for (const Line &line : captured)
		found += line.text.find(text) != std::string::npos ? 1 : 0;
	return found;
}

void LogCapture::clear()
{
	std::lock_guard<std::mutex> lock(mutex);
	captured.clear();
}
