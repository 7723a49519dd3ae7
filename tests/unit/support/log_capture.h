#pragma once

#include <mutex>
#include <string>
#include <vector>

// Collects the host's log lines while alive (and still prints them for failing tests).
class LogCapture {
public:
	struct Line {
		int level;
		std::string text;
	};

	LogCapture();
	~LogCapture();
	LogCapture(const LogCapture &) = delete;
	LogCapture &operator=(const LogCapture &) = delete;

	std::vector<Line> lines() const;
	// How many lines contain the text.
	int count(const std::string &text) const;
	bool contains(const std::string &text) const { return count(text) > 0; }
	void clear();

	void add(int level, std::string text);

private:
	mutable std::mutex mutex;
	std::vector<Line> captured;
};
