#include "app/Settings.hpp"

#include <cstdint>
#include <iostream>
#include <string>

namespace {
// No key is longer than this; a longer token is kept only far enough to match nothing.
constexpr std::size_t longestUsefulToken = 32;

bool isSettingsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads one white-space separated token; false at the end of the stream. Memory stays bounded
// however long the token is.
bool readToken(std::istream& stream, std::string& token) {
    token.clear();
    std::istream::sentry skipWhitespace(stream);  // skips leading white space like operator>>
    if (!skipWhitespace) return false;
    std::streambuf* buffer = stream.rdbuf();
    for (int c = buffer->sgetc(); c != std::char_traits<char>::eof(); c = buffer->snextc()) {
        if (isSettingsSpace(c)) return true;
        if (token.size() <= longestUsefulToken) token.push_back(static_cast<char>(c));
    }
    stream.setstate(std::ios::eofbit);
    return true;
}

// Reads a signed 32-bit integer the way operator>> does; the target keeps its value on failure.
template <typename Target>
void readInteger(std::istream& stream, Target& target, int smallest) {
    int value = 0;
    if (stream >> value) target = static_cast<Target>(value < smallest ? smallest : value);
}

void revertToDefaults(Settings& settings, const char* reason) {
    std::cout << reason << " \"settings.ini\"! Reverting to default settings.\n";
    settings.antialiasingLevel = 1;
    settings.fullscreenWidth = 0;
    settings.fullscreenHeight = 0;
}
}  // namespace

void readSettings(std::istream& stream, Settings& settings) {
    if (!stream) {
        revertToDefaults(settings, "Could not open");
        return;
    }

    std::string token;
    if (!readToken(stream, token) || token != "[settings]") {
        revertToDefaults(settings, "Invalid header in");
    }

    while (!stream.eof() && !stream.fail()) {
        if (!readToken(stream, token)) break;
        if (token == "fullscreen") {
            std::string value;
            readToken(stream, value);
            settings.fullscreen = value == "true";
        } else if (token == "windowed_width") {
            readInteger(stream, settings.windowedWidth, INT32_MIN);
        } else if (token == "windowed_height") {
            readInteger(stream, settings.windowedHeight, INT32_MIN);
        } else if (token == "fullscreen_width") {
            readInteger(stream, settings.fullscreenWidth, INT32_MIN);
        } else if (token == "fullscreen_height") {
            readInteger(stream, settings.fullscreenHeight, INT32_MIN);
        } else if (token == "AA_level") {
            // A negative level means no antialiasing rather than a wrapped huge request.
            readInteger(stream, settings.antialiasingLevel, 0);
        } else if (token == "framerate_limit") {
            // A negative limit means no limit.
            readInteger(stream, settings.framerateLimit, 0);
        }
    }
}
