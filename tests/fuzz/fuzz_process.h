#pragma once

// What every fuzz program sets up once, before its first input: the test process's
// conditions (offscreen, UTC, en-US texts), a Qt application for fonts and timers, and
// silence from the host's log and from Qt, so the fuzzer's own output stays readable.
void startFuzzProcess(int *argc, char ***argv);
