#pragma once
// Wraps an OpenGL call so that, in checked builds, an error is reported with the call, file and line.
// Used on the main thread only, like every OpenGL call. Never wrap a call between glBegin and glEnd:
// glGetError is itself an error there (wrap the glEnd instead).
#include <GL/glew.h>

namespace glcheck {
// Drains glGetError after `call`; prints each error on standard error and counts it.
void report(const char* call, const char* file, int line);
// Errors reported since the start of the process (tests assert that it stays 0).
unsigned errorCount();
}  // namespace glcheck

#ifdef QUILLMOOR_GL_CHECKS
#define GL_CHECK(call)                               \
    do {                                             \
        call;                                        \
        ::glcheck::report(#call, __FILE__, __LINE__); \
    } while (0)
#else
#define GL_CHECK(call) call
#endif
