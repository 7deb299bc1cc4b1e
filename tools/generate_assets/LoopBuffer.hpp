#pragma once
// A stereo block of audio that is played as an endless loop: whatever is written past its end
// wraps around to its beginning, so notes that ring over the loop point join seamlessly.
// Used by the asset generator's synthesiser (single-threaded).
#include <cstddef>
#include <vector>

class LoopBuffer {
public:
    explicit LoopBuffer(std::size_t frameCount);

    std::size_t frameCount() const { return left.size(); }

    // Adds a stereo sample to the frame at index `frame`, taken modulo the loop length.
    void add(std::size_t frame, float leftValue, float rightValue);

    // Largest absolute sample value over both channels.
    float peak() const;

    std::vector<float> left;   // samples of the left channel, full scale is 1
    std::vector<float> right;  // samples of the right channel, full scale is 1
};
