#pragma once
// The synthesiser's voices: each adds one note to a loop buffer, with envelopes that start and end
// at silence so that no note clicks, plus a ping-pong echo over the whole loop.
// Used by the asset generator (single-threaded).
#include "LoopBuffer.hpp"

#include <cstddef>

constexpr unsigned synthSampleRate = 44100;  // frames per second

// One note to play.
struct Note {
    std::size_t startFrame = 0;  // first frame of the note; may lie anywhere, it wraps
    double seconds = 1.0;        // held length; the release rings on after it
    double frequency = 440.0;    // Hz
    double gain = 0.1;           // peak amplitude, full scale is 1
    double pan = 0.0;            // -1 left, 0 centre, 1 right
};

// Frequency in Hz of a MIDI note number (69 is A at 440 Hz).
double midiFrequency(double midiNote);

// Soft string-like pad: two slightly detuned harmonic voices spread across the stereo field,
// slow attack and long release.
void addPad(LoopBuffer& buffer, const Note& note);

// Round bass: fundamental with a little second harmonic, short attack, gentle decay.
void addBass(LoopBuffer& buffer, const Note& note);

// Bell-like electric piano from two-operator FM, bright at the strike and mellowing as it decays.
void addElectricPiano(LoopBuffer& buffer, const Note& note);

// Short plucked tone for arpeggios.
void addPluck(LoopBuffer& buffer, const Note& note);

// Adds a stereo echo that bounces between the channels, computed around the loop so that echoes
// of the last notes fall on its beginning. feedback and wet are amplitude factors below 1.
void addPingPongEcho(LoopBuffer& buffer, std::size_t delayFrames, float feedback, float wet);
