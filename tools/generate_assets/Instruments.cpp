#include "Instruments.hpp"

#include <array>
#include <cmath>
#include <vector>

namespace {

const double twoPi = 6.283185307179586;

// Equal-power stereo gains for a pan position in [-1, 1].
void panGains(double pan, double& leftGain, double& rightGain) {
    double angle = (pan + 1.0) * 0.25 * 3.141592653589793;
    leftGain = std::cos(angle);
    rightGain = std::sin(angle);
}

// Raised-cosine fade from 0 to 1 over `length` seconds.
double fadeIn(double t, double length) {
    if (t >= length) return 1.0;
    if (t <= 0.0) return 0.0;
    return 0.5 - 0.5 * std::cos(3.141592653589793 * t / length);
}

// Multiplier that holds 1 until `held` seconds, then fades to 0 over `release` seconds.
double release(double t, double held, double releaseLength) {
    return 1.0 - fadeIn(t - held, releaseLength);
}

// One cycle of the pad's waveform: harmonics falling off a little faster than a sawtooth's.
class PadWave {
public:
    static constexpr int size = 4096;
    PadWave() {
        for (int i = 0; i < size; ++i) {
            double phase = twoPi * i / size;
            double v = 0.0;
            for (int h = 1; h <= 7; ++h) v += std::sin(h * phase) / std::pow(h, 1.6);
            table[i] = v / 1.5;
        }
    }
    // phase in cycles, any value
    double at(double phase) const {
        double position = (phase - std::floor(phase)) * size;
        int i = static_cast<int>(position);
        double frac = position - i;
        return table[i] + (table[(i + 1) % size] - table[i]) * frac;
    }

private:
    std::array<double, size> table{};
};

std::size_t frames(double seconds) { return static_cast<std::size_t>(seconds * synthSampleRate); }

}  // namespace

double midiFrequency(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

void addPad(LoopBuffer& buffer, const Note& note) {
    static const PadWave wave;
    const double attack = 1.4, releaseLength = 2.2;  // seconds
    const double detune = 0.0025;                    // relative frequency offset of each voice
    // The two voices lean to opposite sides; sqrt(2) restores the level that centre panning takes.
    const double spread = 0.75, panCompensation = 1.41421356;
    double leftGain, rightGain;
    panGains(note.pan, leftGain, rightGain);
    std::size_t length = frames(note.seconds + releaseLength);
    for (std::size_t i = 0; i < length; ++i) {
        double t = double(i) / synthSampleRate;
        double envelope = fadeIn(t, attack) * release(t, note.seconds, releaseLength);
        // A slow swell keeps the held chord alive.
        envelope *= 0.85 + 0.15 * std::sin(twoPi * 0.23 * t);
        double low = wave.at(note.frequency * (1.0 - detune) * t);
        double high = wave.at(note.frequency * (1.0 + detune) * t + 0.37);
        double a = note.gain * envelope;
        double leftMix = spread * low + (1.0 - spread) * high;
        double rightMix = (1.0 - spread) * low + spread * high;
        buffer.add(note.startFrame + i, float(a * leftMix * leftGain * panCompensation),
                   float(a * rightMix * rightGain * panCompensation));
    }
}

void addBass(LoopBuffer& buffer, const Note& note) {
    const double attack = 0.015, releaseLength = 0.15;  // seconds
    double leftGain, rightGain;
    panGains(note.pan, leftGain, rightGain);
    std::size_t length = frames(note.seconds + releaseLength);
    for (std::size_t i = 0; i < length; ++i) {
        double t = double(i) / synthSampleRate;
        double envelope = fadeIn(t, attack) * release(t, note.seconds, releaseLength) *
                          (0.55 + 0.45 * std::exp(-t / 0.5));
        double phase = twoPi * note.frequency * t;
        double v = note.gain * envelope * (std::sin(phase) + 0.25 * std::sin(2.0 * phase));
        buffer.add(note.startFrame + i, float(v * leftGain), float(v * rightGain));
    }
}

void addElectricPiano(LoopBuffer& buffer, const Note& note) {
    const double attack = 0.006, ring = 0.9, releaseLength = 0.35;  // seconds
    double leftGain, rightGain;
    panGains(note.pan, leftGain, rightGain);
    double held = note.seconds + ring;
    std::size_t length = frames(held + releaseLength);
    for (std::size_t i = 0; i < length; ++i) {
        double t = double(i) / synthSampleRate;
        double envelope = fadeIn(t, attack) * release(t, held, releaseLength) * std::exp(-t / 1.1);
        double index = 0.25 + 1.6 * std::exp(-t / 0.35);  // modulation depth, radians
        double phase = twoPi * note.frequency * t;
        double v = note.gain * envelope * std::sin(phase + index * std::sin(phase));
        buffer.add(note.startFrame + i, float(v * leftGain), float(v * rightGain));
    }
}

void addPluck(LoopBuffer& buffer, const Note& note) {
    const double attack = 0.004, releaseLength = 0.2;  // seconds
    double leftGain, rightGain;
    panGains(note.pan, leftGain, rightGain);
    std::size_t length = frames(note.seconds + releaseLength);
    for (std::size_t i = 0; i < length; ++i) {
        double t = double(i) / synthSampleRate;
        double envelope = fadeIn(t, attack) * release(t, note.seconds, releaseLength);
        double phase = twoPi * note.frequency * t;
        double v = note.gain * envelope *
                   (std::sin(phase) * std::exp(-t / 0.45) +
                    0.35 * std::sin(2.0 * phase) * std::exp(-t / 0.18) +
                    0.12 * std::sin(3.0 * phase) * std::exp(-t / 0.09));
        buffer.add(note.startFrame + i, float(v * leftGain), float(v * rightGain));
    }
}

void addPingPongEcho(LoopBuffer& buffer, std::size_t delayFrames, float feedback, float wet) {
    std::size_t n = buffer.frameCount();
    if (n == 0 || delayFrames == 0) return;
    std::vector<float> echoLeft(n, 0.0f), echoRight(n, 0.0f);
    // Two laps: the first fills the echo history, the second sees the echoes that wrapped round
    // from the end of the loop, so the result is the loop's steady state.
    for (std::size_t step = 0; step < 2 * n; ++step) {
        std::size_t i = step % n;
        std::size_t from = (i + n - delayFrames % n) % n;
        echoLeft[i] = buffer.right[from] + feedback * echoRight[from];
        echoRight[i] = buffer.left[from] + feedback * echoLeft[from];
    }
    for (std::size_t i = 0; i < n; ++i) {
        buffer.left[i] += wet * echoLeft[i];
        buffer.right[i] += wet * echoRight[i];
    }
}
