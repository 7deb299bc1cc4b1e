#include "interface/TextHelpers.hpp"

#include <sstream>

#include "app/ProgramState.hpp"

namespace {
const FTPoint noSpacing(0.0, 0.0, 0.0);

TextExtent measureWith(FTFont& font, const std::string& text) {
    const FTBBox box = font.BBox(text.c_str(), -1, FTPoint(0.0, 0.0, 0.0), noSpacing);
    TextExtent extent;
    extent.width = static_cast<int>(box.Upper().X() - box.Lower().X());
    extent.height = static_cast<int>(box.Upper().Y() - box.Lower().Y());
    return extent;
}
}  // namespace

void drawText(const std::string& text, double x, double y) {
    fontSmall.Render(text.c_str(), -1, FTPoint(x, y, 0.0), noSpacing);
}

void drawTitleText(const std::string& text, double x, double y) {
    fontLarge.Render(text.c_str(), -1, FTPoint(x, y, 0.0), noSpacing);
}

TextExtent measureText(const std::string& text) { return measureWith(fontSmall, text); }

TextExtent measureTitleText(const std::string& text) { return measureWith(fontLarge, text); }

double parseNumber(const std::string& text) {
    std::istringstream stream(text);
    double value = 0.0;
    if (!(stream >> value)) return 2147483647.0;
    return value;
}
