#pragma once

// Same conditions wherever tests and benchmarks run, before the Qt application exists:
// no display (the offscreen platform) and clock times in UTC.
void prepareTestProcess();

// Makes the module's en-US texts the current locale again (after a test replaced it).
void useEnglishTexts();

// The module's en-US texts while alive, so tests see the words an operator sees.
class EnglishTexts {
public:
	EnglishTexts();
	~EnglishTexts();
	EnglishTexts(const EnglishTexts &) = delete;
	EnglishTexts &operator=(const EnglishTexts &) = delete;
};
