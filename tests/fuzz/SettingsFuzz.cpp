// libFuzzer target: any bytes as a settings file. The reader must neither crash, hang, nor read
// out of bounds; the values it produces must stay in their domains.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "app/Settings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::ostringstream discarded;
    static std::streambuf* const console = std::cout.rdbuf(discarded.rdbuf());
    (void)console;
    discarded.str("");

    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    Settings settings;
    readSettings(stream, settings);
    if (settings.antialiasingLevel > 2147483647u || settings.framerateLimit > 2147483647u) __builtin_trap();
    return 0;
}
