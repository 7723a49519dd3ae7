#pragma once

// Same conditions wherever tests and benchmarks run, before the Qt application exists:
// no display (the offscreen platform), clock times in UTC, and, as the module has from its
// load on, the current preset shown in the show state.
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
