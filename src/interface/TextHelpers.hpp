#pragma once
// Draws and measures text with the program's bitmap fonts, and parses the numbers in page commands.
// Main thread only; drawing happens inside the frame's 2D overlay, positions are window pixels
// from the bottom-left corner (the pen origin: left end of the baseline).
#include <string>

struct TextExtent {
    int width = 0;   // pixels
    int height = 0;  // pixels
};

void drawText(const std::string& text, double x, double y);       // with fontSmall
void drawTitleText(const std::string& text, double x, double y);  // with fontLarge
TextExtent measureText(const std::string& text);                  // with fontSmall
TextExtent measureTitleText(const std::string& text);             // with fontLarge

// Reads a leading decimal floating-point number; 2147483647 when nothing could be read.
double parseNumber(const std::string& text);
