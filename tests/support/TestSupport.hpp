#pragma once
// Shared by the tests: a real OpenGL context on the X display (Xvfb in CI), the program's font
// sizes, and a capture of standard output for checking console messages.
#include <iostream>
#include <sstream>
#include <string>

// Makes a hidden OpenGL context current on the calling thread (once per process) and initialises
// GLEW; fails the calling test when there is no display.
void ensureGlContext();

// Gives the program-wide fonts the face sizes the Game sets at start-up.
void useProgramFontSizes();

// Redirects std::cout into a buffer for its lifetime.
class CapturedStdout {
public:
    CapturedStdout() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~CapturedStdout() { std::cout.rdbuf(previous); }
    CapturedStdout(const CapturedStdout&) = delete;
    CapturedStdout& operator=(const CapturedStdout&) = delete;
    std::string text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* previous;
};
