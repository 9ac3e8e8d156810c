// synth_voices.cpp: the synthesiser's voices: struck notes, pads and soft percussion.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int WavetableSize = 2048;

size_t StartFrameOf(double seconds) {
    return seconds <= 0 ? 0 : size_t(std::llround(seconds * SampleRate));
}

// Adds a mono voice into the track at the given pan gains. On a circular track
// the voice continues at the start once it passes the end; otherwise whatever
// does not fit is dropped.
void MixVoice(Track& track, size_t startFrame, const Voice& voice, float gainLeft, float gainRight) {
    size_t frames = FramesOf(track);
    if (frames == 0) {
        return;
    }
    size_t at = track.circular ? startFrame % frames : startFrame;
    size_t done = 0;
    while (done < voice.size() && at < frames) {
        size_t run = std::min(voice.size() - done, frames - at);
        float* left = track.left.data() + at;
        float* right = track.right.data() + at;
        const float* source = voice.data() + done;
        for (size_t i = 0; i < run; ++i) {
            left[i] += source[i] * gainLeft;
            right[i] += source[i] * gainRight;
        }
        done += run;
        at = track.circular ? 0 : frames;
    }
}

// Smooth 0..1 ramp: half a cosine period, so the envelope has no corner. Read
// from a table: envelopes need it for every sample of long swells.
constexpr int RampSteps = 4096;
struct RampTable {
    float values[RampSteps + 1];
    RampTable() {
        for (int i = 0; i <= RampSteps; ++i) {
            values[i] = float(0.5 - 0.5 * std::cos(Pi * double(i) / RampSteps));
        }
    }
};

inline double RaisedCosine(double x) {
    static const RampTable table;
    if (x <= 0) {
        return 0;
    }
    if (x >= 1) {
        return 1;
    }
    double position = x * RampSteps;
    int i = int(position);
    double f = position - i;
    return table.values[i] + (table.values[i + 1] - table.values[i]) * f;
}

// Multiplies a voice by a raised-cosine fade in and out of the given lengths.
void ShapeEnds(std::vector<float>& voice, size_t fadeIn, size_t fadeOut) {
    size_t n = voice.size();
    fadeIn = std::min(fadeIn, n);
    fadeOut = std::min(fadeOut, n);
    for (size_t i = 0; i < fadeIn; ++i) {
        voice[i] *= float(RaisedCosine((double(i) + 0.5) / double(fadeIn)));
    }
    for (size_t i = 0; i < fadeOut; ++i) {
        voice[n - 1 - i] *= float(RaisedCosine((double(i) + 0.5) / double(fadeOut)));
    }
}

}  // namespace

Track MakeTrack(double seconds, bool circular) {
    Track track;
    size_t frames = SecondsToFrames(seconds);
    track.left.assign(frames, 0.0f);
    track.right.assign(frames, 0.0f);
    track.circular = circular;
    return track;
}

size_t FramesOf(const Track& track) {
    return std::min(track.left.size(), track.right.size());
}

size_t SecondsToFrames(double seconds) {
    return StartFrameOf(seconds);
}

void MixInto(Track& target, const Track& source, float gain) {
    size_t frames = std::min(FramesOf(target), FramesOf(source));
    for (size_t i = 0; i < frames; ++i) {
        target.left[i] += source.left[i] * gain;
        target.right[i] += source.right[i] * gain;
    }
}

double NoteFrequency(double midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

void PanGains(double pan, float& left, float& right) {
    double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * Pi / 4.0;
    left = float(std::cos(angle));
    right = float(std::sin(angle));
}

Noise MakeNoise(uint32_t seed) {
    return Noise{seed == 0 ? 0x9E3779B9u : seed};
}

float NextNoise(Noise& noise) {
    uint32_t x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return float(double(x) / 2147483648.0 - 1.0);
}

void AddVoice(Track& track, double startSeconds, const Voice& voice, double gain, double pan) {
    float left, right;
    PanGains(pan, left, right);
    MixVoice(track, StartFrameOf(startSeconds), voice, float(left * gain), float(right * gain));
}

void RenderStruckNote(Voice& voice, double frequency, const StruckTimbre& timbre, double holdSeconds) {
    voice.clear();
    // Each partial is a rotating phasor whose length shrinks a little every
    // sample: one complex multiply gives both the sine and its exponential decay.
    struct Phasor {
        double re, im, rotRe, rotIm, amplitude, decaySeconds;
    };
    std::vector<Phasor> phasors;
    double totalAmplitude = 0;
    for (const Partial& p : timbre.partials) {
        double f = frequency * p.ratio;
        if (f <= 0 || f >= 0.45 * SampleRate || p.amplitude <= 0 || p.decaySeconds <= 0) {
            continue;  // above the audible band it would only alias
        }
        double omega = 2.0 * Pi * f / SampleRate;
        double shrink = std::pow(10.0, -3.0 / (p.decaySeconds * SampleRate));
        phasors.push_back({1.0, 0.0, shrink * std::cos(omega), shrink * std::sin(omega), p.amplitude,
                           p.decaySeconds});
        totalAmplitude += p.amplitude;
    }
    if (phasors.empty()) {
        return;
    }
    // The note has rung out once every partial is 80 dB below the whole.
    double ringSeconds = 0.05;
    for (const Phasor& p : phasors) {
        double below = 20.0 * std::log10(p.amplitude / (1e-4 * totalAmplitude));
        ringSeconds = std::max(ringSeconds, p.decaySeconds * below / 60.0);
    }
    double lengthSeconds = ringSeconds;
    if (holdSeconds >= 0) {
        lengthSeconds = std::min(ringSeconds, holdSeconds + timbre.releaseSeconds);
    }
    size_t frames = SecondsToFrames(lengthSeconds);
    voice.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        double sum = 0;
        for (Phasor& p : phasors) {
            sum += p.amplitude * p.im;
            double re = p.re * p.rotRe - p.im * p.rotIm;
            p.im = p.re * p.rotIm + p.im * p.rotRe;
            p.re = re;
        }
        voice[i] = float(sum);
    }
    size_t release = SecondsToFrames(std::max(0.005, timbre.releaseSeconds));
    if (holdSeconds < 0) {
        release = std::min(release, SecondsToFrames(0.02));
    }
    ShapeEnds(voice, SecondsToFrames(timbre.attackSeconds), release);
}

void AddStruckNote(Track& track, double startSeconds, double frequency, double gain, double pan,
                   const StruckTimbre& timbre, double holdSeconds) {
    Voice voice;
    RenderStruckNote(voice, frequency, timbre, holdSeconds);
    AddVoice(track, startSeconds, voice, gain, pan);
}

Instrument MakeInstrument(const StruckTimbre& timbre) {
    Instrument instrument;
    instrument.timbre = timbre;
    return instrument;
}

const Voice& PlayNote(Instrument& instrument, double frequency, double holdSeconds) {
    long long hold = holdSeconds < 0 ? -1 : (long long)SecondsToFrames(holdSeconds);
    std::pair<long long, long long> key{std::llround(frequency * 1000.0), hold};
    auto found = instrument.notes.find(key);
    if (found != instrument.notes.end()) {
        return found->second;
    }
    Voice& voice = instrument.notes[key];
    RenderStruckNote(voice, frequency, instrument.timbre, holdSeconds);
    return voice;
}

Wavetable MakeWavetable(const std::vector<double>& harmonicAmplitudes) {
    Wavetable table;
    table.samples.assign(WavetableSize + 1, 0.0f);
    double peak = 0;
    std::vector<double> cycle(WavetableSize, 0.0);
    for (int i = 0; i < WavetableSize; ++i) {
        for (size_t h = 0; h < harmonicAmplitudes.size(); ++h) {
            cycle[i] += harmonicAmplitudes[h] * std::sin(2.0 * Pi * double(h + 1) * i / WavetableSize);
        }
        peak = std::max(peak, std::fabs(cycle[i]));
    }
    for (int i = 0; i < WavetableSize; ++i) {
        table.samples[i] = float(peak > 0 ? cycle[i] / peak : 0.0);
    }
    table.samples[WavetableSize] = table.samples[0];
    return table;
}

void RenderPadNote(PadVoices& pad, double lengthSeconds, double frequency, const Wavetable& table,
                   const PadShape& shape) {
    pad.low.clear();
    pad.high.clear();
    if (table.samples.size() != WavetableSize + 1 || frequency <= 0) {
        return;
    }
    size_t frames = SecondsToFrames(lengthSeconds + shape.releaseSeconds);
    size_t attack = SecondsToFrames(shape.attackSeconds);
    size_t holdEnd = SecondsToFrames(lengthSeconds);
    size_t release = std::max<size_t>(1, SecondsToFrames(shape.releaseSeconds));
    double detune = std::pow(2.0, shape.detuneCents / 1200.0);
    double stepA = frequency / detune * WavetableSize / SampleRate;
    double stepB = frequency * detune * WavetableSize / SampleRate;
    double phaseA = 0.0;
    double phaseB = 0.37 * WavetableSize;  // apart, so the pair does not start in unison
    pad.low.resize(frames);
    pad.high.resize(frames);
    const float* wave = table.samples.data();
    for (size_t i = 0; i < frames; ++i) {
        double envelope = 1.0;
        if (i < attack) {
            envelope = RaisedCosine(double(i) / double(attack));
        }
        if (i >= holdEnd) {
            envelope *= 1.0 - RaisedCosine(double(i - holdEnd) / double(release));
        }
        int ia = int(phaseA);
        int ib = int(phaseB);
        double fa = phaseA - ia;
        double fb = phaseB - ib;
        pad.low[i] = float((wave[ia] + (wave[ia + 1] - wave[ia]) * fa) * envelope);
        pad.high[i] = float((wave[ib] + (wave[ib + 1] - wave[ib]) * fb) * envelope);
        phaseA += stepA;
        phaseB += stepB;
        if (phaseA >= WavetableSize) {
            phaseA -= WavetableSize;
        }
        if (phaseB >= WavetableSize) {
            phaseB -= WavetableSize;
        }
    }
}

void AddPadVoices(Track& track, double startSeconds, const PadVoices& pad, double gain, double width) {
    AddVoice(track, startSeconds, pad.low, gain, -width);
    AddVoice(track, startSeconds, pad.high, gain, width);
}

void AddSoftKick(Track& track, double startSeconds, double gain) {
    size_t frames = SecondsToFrames(0.32);
    std::vector<float> voice(frames);
    double phase = 0;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / SampleRate;
        double frequency = 48.0 + 70.0 * std::exp(-t / 0.03);  // the thump falls in pitch
        phase += 2.0 * Pi * frequency / SampleRate;
        voice[i] = float(std::sin(phase) * std::exp(-t / 0.09) * gain);
    }
    ShapeEnds(voice, SecondsToFrames(0.002), SecondsToFrames(0.03));
    AddVoice(track, startSeconds, voice, 1.0, 0.0);
}

void AddShaker(Track& track, double startSeconds, double gain, double pan, Noise& noise) {
    size_t frames = SecondsToFrames(0.09);
    std::vector<float> voice(frames);
    Biquad high = MakeBiquad(FilterKind::HighPass, 6500.0, 0.7);
    Biquad band = MakeBiquad(FilterKind::BandPass, 9000.0, 0.8);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / SampleRate;
        double envelope = (1.0 - std::exp(-t / 0.004)) * std::exp(-t / 0.022);
        float n = NextNoise(noise);
        voice[i] = float((RunBiquad(high, n) + 0.5 * RunBiquad(band, n)) * envelope * gain);
    }
    ShapeEnds(voice, SecondsToFrames(0.001), SecondsToFrames(0.02));
    AddVoice(track, startSeconds, voice, 1.0, pan);
}

void AddRimClick(Track& track, double startSeconds, double gain, double pan, Noise& noise) {
    size_t frames = SecondsToFrames(0.07);
    std::vector<float> voice(frames);
    Biquad band = MakeBiquad(FilterKind::BandPass, 1900.0, 3.0);
    double phase = 0;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / SampleRate;
        phase += 2.0 * Pi * 820.0 / SampleRate;
        double body = std::sin(phase) * std::exp(-t / 0.012);
        double snap = RunBiquad(band, NextNoise(noise)) * std::exp(-t / 0.008);
        voice[i] = float((0.6 * body + 1.2 * snap) * gain);
    }
    ShapeEnds(voice, SecondsToFrames(0.0008), SecondsToFrames(0.02));
    AddVoice(track, startSeconds, voice, 1.0, pan);
}
