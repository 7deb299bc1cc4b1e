#pragma once
// What the program does after a failed start: say so, and keep a console window readable by
// waiting for Enter, but only when a person is at a terminal, so scripts and CI never hang.
#include <istream>

// Prints "Game could not start..." and, when standard input is a terminal, waits for Enter.
void reportFailedStart();

// The wait itself: reads up to the end of one line from `input`, or returns at its end.
void waitForEnter(std::istream& input);
