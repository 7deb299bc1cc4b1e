#include "MainMusic.hpp"

#include "Instruments.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <system_error>

const char* const musicPath = "resources/music/mainmusic.ogg";

namespace {

// One chord of the progression; each lasts two bars.
struct Chord {
    int bass;         // MIDI note of the bass root
    int fifth;        // MIDI note the bass walks to on the last beat
    int pad[4];       // MIDI notes of the pad voicing
};

// D major: Dmaj7, Bm7, Gmaj7, A, Dmaj7, F#m7, Em7, A7.
const Chord progression[] = {
    {38, 45, {50, 54, 57, 61}}, {35, 42, {50, 54, 57, 59}}, {43, 50, {50, 54, 55, 59}},
    {45, 40, {52, 57, 61, 64}}, {38, 45, {50, 54, 57, 61}}, {42, 49, {49, 52, 54, 57}},
    {40, 47, {50, 52, 55, 59}}, {45, 40, {52, 55, 57, 61}},
};
const unsigned barsPerChord = 2;

// Melody notes: start beat within the loop, length in beats, MIDI note.
struct MelodyNote {
    double beat;
    double beats;
    int note;
};

const MelodyNote melody[] = {
    {1, 1, 78},    {2, 1, 76},    {3, 2, 74},    {5, 1, 73},    {6, 2, 69},
    {8, 1.5, 71},  {9.5, 0.5, 74}, {10, 1, 78},  {11, 1, 81},   {12, 3, 78},
    {16, 1, 79},   {17, 1, 78},   {18, 1, 74},   {19, 1, 71},   {20, 3, 74},  {23, 1, 76},
    {24, 2, 76},   {26, 1, 73},   {27, 1, 69},   {28, 4, 76},
    {33, 1, 81},   {34, 1, 83},   {35, 2, 81},   {37, 1, 78},   {38, 2, 76},
    {40, 1.5, 73}, {41.5, 0.5, 76}, {42, 1, 78}, {43, 1, 81},   {44, 3, 81},
    {48, 1, 83},   {49, 1, 81},   {50, 1, 79},   {51, 1, 78},   {52, 2, 76},  {54, 1, 74},
    {55, 1, 76},   {56, 3, 73},   {59, 1, 76},   {60, 4, 69},
};

// Order in which the arpeggio climbs and falls through the four pad notes, one per eighth.
const int arpeggioPattern[] = {0, 1, 2, 3, 2, 1, 2, 3};

const double padGain = 0.075;
const double bassGain = 0.32;
const double pianoGain = 0.2;
const double pluckGain = 0.06;
const float echoFeedback = 0.35f;
const float echoWet = 0.3f;

}  // namespace

std::size_t musicFramesPerBeat() { return synthSampleRate * 60 / musicBeatsPerMinute; }

std::size_t musicLoopFrames() { return musicFramesPerBeat() * musicBeatsPerBar * musicBarCount; }

LoopBuffer composeMainMusic() {
    const std::size_t beat = musicFramesPerBeat();
    const double beatSeconds = 60.0 / musicBeatsPerMinute;
    LoopBuffer buffer(musicLoopFrames());
    const unsigned chordCount = musicBarCount / barsPerChord;
    for (unsigned c = 0; c < chordCount; ++c) {
        const Chord& chord = progression[c % (sizeof(progression) / sizeof(progression[0]))];
        std::size_t chordStart = c * barsPerChord * musicBeatsPerBar * beat;
        double chordSeconds = barsPerChord * musicBeatsPerBar * beatSeconds;
        for (int v = 0; v < 4; ++v) {
            Note pad;
            pad.startFrame = chordStart;
            pad.seconds = chordSeconds;
            pad.frequency = midiFrequency(chord.pad[v]);
            pad.gain = padGain;
            pad.pan = -0.45 + 0.3 * v;
            addPad(buffer, pad);
        }
        for (unsigned bar = 0; bar < barsPerChord; ++bar) {
            std::size_t barStart = chordStart + bar * musicBeatsPerBar * beat;
            // Root held over beats 1-2, repeated on 3, the fifth (or a step) on 4.
            const double bassBeats[3][3] = {{0, 1.8, 0}, {2, 0.9, 0}, {3, 0.9, 1}};
            for (const auto& b : bassBeats) {
                Note bass;
                bass.startFrame = barStart + static_cast<std::size_t>(b[0] * beat);
                bass.seconds = b[1] * beatSeconds;
                bass.frequency = midiFrequency(b[2] > 0 ? chord.fifth : chord.bass);
                bass.gain = bassGain;
                addBass(buffer, bass);
            }
            for (unsigned eighth = 0; eighth < 2 * musicBeatsPerBar; ++eighth) {
                Note pluck;
                pluck.startFrame = barStart + eighth * beat / 2;
                pluck.seconds = 0.5 * beatSeconds;
                pluck.frequency = midiFrequency(chord.pad[arpeggioPattern[eighth]] + 12);
                pluck.gain = pluckGain;
                pluck.pan = (eighth % 2 == 0) ? -0.6 : 0.6;
                addPluck(buffer, pluck);
            }
        }
    }
    for (const MelodyNote& m : melody) {
        Note piano;
        piano.startFrame = static_cast<std::size_t>(m.beat * beat);
        piano.seconds = m.beats * beatSeconds;
        piano.frequency = midiFrequency(m.note);
        piano.gain = pianoGain;
        piano.pan = 0.1;
        addElectricPiano(buffer, piano);
    }
    // A dotted-eighth echo.
    addPingPongEcho(buffer, beat * 3 / 4, echoFeedback, echoWet);
    return buffer;
}

std::vector<sf::Int16> toPcm(const LoopBuffer& buffer, double peakLevel) {
    std::vector<sf::Int16> samples(buffer.frameCount() * 2, 0);
    float peak = buffer.peak();
    if (peak <= 0.0f) return samples;
    double scale = peakLevel * 32767.0 / peak;
    for (std::size_t i = 0; i < buffer.frameCount(); ++i) {
        samples[2 * i] = static_cast<sf::Int16>(std::lround(buffer.left[i] * scale));
        samples[2 * i + 1] = static_cast<sf::Int16>(std::lround(buffer.right[i] * scale));
    }
    return samples;
}

bool writeMainMusic(const std::string& outputRoot) {
    std::filesystem::path path = std::filesystem::path(outputRoot) / musicPath;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::cout << "Cannot create directory " << path.parent_path().string() << ": "
                  << error.message() << "\n";
        return false;
    }
    std::vector<sf::Int16> samples = toPcm(composeMainMusic(), musicPeakLevel);
    sf::OutputSoundFile file;
    if (!file.openFromFile(path.string(), synthSampleRate, 2)) {
        std::cout << "Cannot write music file " << path.string() << "\n";
        return false;
    }
    file.write(samples.data(), samples.size());
    return true;
}
