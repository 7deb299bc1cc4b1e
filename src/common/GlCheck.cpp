#include "common/GlCheck.hpp"

#include <atomic>
#include <cstdio>

namespace glcheck {
namespace {
std::atomic<unsigned> reportedErrors{0};
}

void report(const char* call, const char* file, int line) {
    // A bounded drain: without a current context glGetError may keep answering an error.
    for (int i = 0; i < 16; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) return;
        reportedErrors.fetch_add(1, std::memory_order_relaxed);
        std::fprintf(stderr, "OpenGL error 0x%04x after %s at %s:%d\n", error, call, file, line);
    }
}

unsigned errorCount() { return reportedErrors.load(std::memory_order_relaxed); }
}  // namespace glcheck
