#pragma once
// Composes the background music: a calm loop of whole bars (pads over a chord progression, bass,
// an electric-piano melody, a quiet arpeggio and an echo) and writes it as an Ogg Vorbis file.
// Used by the asset generator (single-threaded).
#include "LoopBuffer.hpp"

#include <SFML/Config.hpp>

#include <cstddef>
#include <string>
#include <vector>

constexpr unsigned musicBeatsPerMinute = 90;  // one beat is exactly 29400 frames
constexpr unsigned musicBeatsPerBar = 4;
constexpr unsigned musicBarCount = 16;
constexpr double musicPeakLevel = 0.7;  // loudest sample as a fraction of full scale

// Path of the music file relative to the run directory.
extern const char* const musicPath;

// Frames in one beat and in the whole loop.
std::size_t musicFramesPerBeat();
std::size_t musicLoopFrames();

// The whole loop, rendered in memory; the same every time.
LoopBuffer composeMainMusic();

// Interleaved 16-bit stereo samples, scaled so that the loudest sample is peakLevel of full scale.
// All zeros for a silent buffer.
std::vector<sf::Int16> toPcm(const LoopBuffer& buffer, double peakLevel);

// Composes the loop and writes it below outputRoot, creating the directories. On failure prints
// one line naming the file and returns false.
bool writeMainMusic(const std::string& outputRoot);
