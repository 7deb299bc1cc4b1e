#include "LoopBuffer.hpp"

#include <algorithm>
#include <cmath>

LoopBuffer::LoopBuffer(std::size_t frameCount) : left(frameCount, 0.0f), right(frameCount, 0.0f) {}

void LoopBuffer::add(std::size_t frame, float leftValue, float rightValue) {
    if (left.empty()) return;
    std::size_t index = frame % left.size();
    left[index] += leftValue;
    right[index] += rightValue;
}

float LoopBuffer::peak() const {
    float result = 0.0f;
    for (float v : left) result = std::max(result, std::fabs(v));
    for (float v : right) result = std::max(result, std::fabs(v));
    return result;
}
