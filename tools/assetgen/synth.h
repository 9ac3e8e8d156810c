// synth.h: the sound synthesiser's building blocks: buffers, voices, filters, reverb.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

constexpr int SampleRate = 44100;

// A stereo buffer of float samples. A circular track is a loop: whatever is
// written past its end continues at its start, so tails ring into the loop's
// beginning the way they would when it repeats.
struct Track {
    std::vector<float> left;
    std::vector<float> right;
    bool circular = false;
};

Track MakeTrack(double seconds, bool circular);
size_t FramesOf(const Track& track);
size_t SecondsToFrames(double seconds);
// Adds `source` into `target` at the given gain; both must have the same length.
void MixInto(Track& target, const Track& source, float gain);

// Frequency of a MIDI note number, A4 (69) = 440 Hz.
double NoteFrequency(double midiNote);
// Left and right gains of a constant-power pan; pan runs -1 (left) .. +1 (right).
void PanGains(double pan, float& left, float& right);

// A repeatable white-noise source (xorshift), so every run yields the same bytes.
struct Noise {
    uint32_t state;
};
Noise MakeNoise(uint32_t seed);
float NextNoise(Noise& noise);  // uniform in [-1, 1)

// One partial of a struck tone: frequency ratio to the fundamental, amplitude,
// and the time it takes to die away by 60 dB.
struct Partial {
    double ratio;
    double amplitude;
    double decaySeconds;
};

// How a struck or plucked note sounds: its partials, a soft attack ramp, and a
// damper that fades the note out `release` seconds after it is let go.
struct StruckTimbre {
    std::vector<Partial> partials;
    double attackSeconds = 0.003;
    double releaseSeconds = 0.08;
};

// A mono sound rendered once and mixed in wherever it is needed.
using Voice = std::vector<float>;

// Mixes a voice into the track from `startSeconds` at the given gain and pan.
void AddVoice(Track& track, double startSeconds, const Voice& voice, double gain, double pan);

// Renders one struck note (bells, celesta, marimba, plucks) at unit gain: a sum
// of exponentially decaying sinusoids. `holdSeconds` is how long the note rings
// before the damper; a negative hold lets it ring until it has died away.
void RenderStruckNote(Voice& voice, double frequency, const StruckTimbre& timbre, double holdSeconds);
void AddStruckNote(Track& track, double startSeconds, double frequency, double gain, double pan,
                   const StruckTimbre& timbre, double holdSeconds);

// A struck instrument that keeps every note it has rendered, keyed by pitch
// and hold: a tune repeats its notes, and a repeat then costs only its mixing.
struct Instrument {
    StruckTimbre timbre;
    std::map<std::pair<long long, long long>, Voice> notes;
};
Instrument MakeInstrument(const StruckTimbre& timbre);
const Voice& PlayNote(Instrument& instrument, double frequency, double holdSeconds);

// A single-cycle waveform with a few harmonics, read by the pad voices.
struct Wavetable {
    std::vector<float> samples;  // one cycle plus a guard sample for interpolation
};
Wavetable MakeWavetable(const std::vector<double>& harmonicAmplitudes);

// A sustained pad note: two slightly detuned oscillators, one leaning left and
// one right, with slow raised-cosine swells in and out.
struct PadShape {
    double attackSeconds = 1.0;
    double releaseSeconds = 1.5;
    double detuneCents = 6.0;
    double width = 0.6;  // how far apart the two oscillators are panned
};
struct PadVoices {
    Voice low;   // the oscillator tuned a little flat, panned left
    Voice high;  // the one tuned a little sharp, panned right
};
// Renders into `pad`, reusing its storage from note to note.
void RenderPadNote(PadVoices& pad, double lengthSeconds, double frequency, const Wavetable& table,
                   const PadShape& shape);
void AddPadVoices(Track& track, double startSeconds, const PadVoices& pad, double gain, double width);

// Soft percussion made from a pitched sine and filtered noise.
void AddSoftKick(Track& track, double startSeconds, double gain);
void AddShaker(Track& track, double startSeconds, double gain, double pan, Noise& noise);
void AddRimClick(Track& track, double startSeconds, double gain, double pan, Noise& noise);

// A second-order filter (RBJ cookbook biquad).
enum class FilterKind { LowPass, HighPass, BandPass };
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};
Biquad MakeBiquad(FilterKind kind, double frequency, double q);
inline float RunBiquad(Biquad& f, float x) {
    double y = f.b0 * x + f.b1 * f.x1 + f.b2 * f.x2 - f.a1 * f.y1 - f.a2 * f.y2;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    return float(y);
}
// Filters both channels in place. A circular track's filter first runs through
// the loop's last seconds, so its memory at the start is that of the loop's end.
void FilterTrack(Track& track, FilterKind kind, double frequency, double q);

// A stereo room: parallel damped comb filters into series allpasses per channel.
struct ReverbSettings {
    double roomSize = 0.8;  // 0..1, longer tail when larger
    double damping = 0.4;   // 0..1, darker tail when larger
    double width = 1.0;     // 0 mono .. 1 full stereo
};
// Replaces `send` with its reverberation (the wet signal only); working in
// place spares a second copy of a long track. On a circular send the tail of
// the loop's end rings on into its start.
void Reverberate(Track& send, const ReverbSettings& settings);

// Replaces `send` with its ping-pong echoes (without the dry signal).
void PingPongEcho(Track& send, double delaySeconds, double feedback, double toneHz);

// Measures over both channels.
double PeakOf(const Track& track);
double RmsOf(const Track& track);
double ToDecibels(double amplitude);
double FromDecibels(double decibels);
void ScaleTrack(Track& track, double gain);
// Raised-cosine fade in over the first and fade out over the last samples.
void FadeEnds(Track& track, double fadeInSeconds, double fadeOutSeconds);
