// synth_process.cpp: whole-track processing: filters, reverb, echo, levels and fades.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Comb and allpass lengths in samples at 44.1 kHz; mutually prime-ish lengths
// keep the echoes from piling up on the same samples. The right channel's
// lines are a little longer, which decorrelates the two sides.
constexpr int CombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int AllpassLengths[4] = {556, 441, 341, 225};
constexpr int StereoSpread = 23;

struct Comb {
    std::vector<float> line;
    size_t at = 0;
    float memory = 0;
};

struct Allpass {
    std::vector<float> line;
    size_t at = 0;
};

inline float RunComb(Comb& c, float input, float feedback, float damp) {
    float output = c.line[c.at];
    c.memory = output * (1.0f - damp) + c.memory * damp;
    if (std::fabs(c.memory) < 1e-20f) {
        c.memory = 0;  // keep decaying tails out of the slow denormal range
    }
    c.line[c.at] = input + c.memory * feedback;
    if (++c.at == c.line.size()) {
        c.at = 0;
    }
    return output;
}

inline float RunAllpass(Allpass& a, float input) {
    float delayed = a.line[a.at];
    a.line[a.at] = input + delayed * 0.5f;
    if (++a.at == a.line.size()) {
        a.at = 0;
    }
    return delayed - input;
}

struct ReverbSide {
    Comb combs[8];
    Allpass allpasses[4];
};

ReverbSide MakeSide(int extra) {
    ReverbSide side;
    for (int i = 0; i < 8; ++i) {
        side.combs[i].line.assign(CombLengths[i] + extra, 0.0f);
    }
    for (int i = 0; i < 4; ++i) {
        side.allpasses[i].line.assign(AllpassLengths[i] + extra, 0.0f);
    }
    return side;
}

inline float RunSide(ReverbSide& side, float input, float feedback, float damp) {
    float sum = 0;
    for (Comb& c : side.combs) {
        sum += RunComb(c, input, feedback, damp);
    }
    for (Allpass& a : side.allpasses) {
        sum = RunAllpass(a, sum);
    }
    return sum;
}

// Where a processor starts: a loop first runs through its own last seconds to
// fill the processor's memory with them, then through the whole loop for the
// output, so the start hears the end. Ten seconds is far longer than any tail
// here rings (the longest reverb falls by 60 dB in about four), so what came
// before them would add less than -120 dB.
constexpr double WarmUpSeconds = 10.0;

size_t WarmUpStart(const Track& track) {
    size_t frames = FramesOf(track);
    if (!track.circular) {
        return frames;  // nothing to warm up: a one-shot starts from silence
    }
    return frames - std::min(frames, SecondsToFrames(WarmUpSeconds));
}

}  // namespace

Biquad MakeBiquad(FilterKind kind, double frequency, double q) {
    double w0 = 2.0 * Pi * std::clamp(frequency, 10.0, 0.49 * SampleRate) / SampleRate;
    double cosW = std::cos(w0);
    double alpha = std::sin(w0) / (2.0 * std::max(q, 0.05));
    double b0 = 0, b1 = 0, b2 = 0;
    switch (kind) {
        case FilterKind::LowPass:
            b0 = (1.0 - cosW) / 2.0;
            b1 = 1.0 - cosW;
            b2 = b0;
            break;
        case FilterKind::HighPass:
            b0 = (1.0 + cosW) / 2.0;
            b1 = -(1.0 + cosW);
            b2 = b0;
            break;
        case FilterKind::BandPass:
            b0 = alpha;
            b1 = 0;
            b2 = -alpha;
            break;
    }
    double a0 = 1.0 + alpha;
    Biquad f;
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = -2.0 * cosW / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

void FilterTrack(Track& track, FilterKind kind, double frequency, double q) {
    size_t frames = FramesOf(track);
    Biquad left = MakeBiquad(kind, frequency, q);
    Biquad right = left;
    for (size_t i = WarmUpStart(track); i < frames; ++i) {
        RunBiquad(left, track.left[i]);
        RunBiquad(right, track.right[i]);
    }
    for (size_t i = 0; i < frames; ++i) {
        track.left[i] = RunBiquad(left, track.left[i]);
        track.right[i] = RunBiquad(right, track.right[i]);
    }
}

void Reverberate(Track& send, const ReverbSettings& settings) {
    size_t frames = FramesOf(send);
    ReverbSide left = MakeSide(0);
    ReverbSide right = MakeSide(StereoSpread);
    float feedback = float(0.7 + 0.28 * std::clamp(settings.roomSize, 0.0, 1.0));
    float damp = float(0.4 * std::clamp(settings.damping, 0.0, 1.0));
    float width = float(std::clamp(settings.width, 0.0, 1.0));
    float direct = 0.5f + width / 2.0f;
    float cross = (1.0f - width) / 2.0f;
    const float inputGain = 0.015f;
    const float outputGain = 3.0f;
    for (size_t i = WarmUpStart(send); i < frames; ++i) {
        float input = (send.left[i] + send.right[i]) * inputGain;
        RunSide(left, input, feedback, damp);
        RunSide(right, input, feedback, damp);
    }
    for (size_t i = 0; i < frames; ++i) {
        float input = (send.left[i] + send.right[i]) * inputGain;
        float l = RunSide(left, input, feedback, damp);
        float r = RunSide(right, input, feedback, damp);
        // Sample i of the send has been read; its place now takes the output.
        send.left[i] = (l * direct + r * cross) * outputGain;
        send.right[i] = (r * direct + l * cross) * outputGain;
    }
}

void PingPongEcho(Track& send, double delaySeconds, double feedback, double toneHz) {
    size_t frames = FramesOf(send);
    size_t delay = std::max<size_t>(1, SecondsToFrames(delaySeconds));
    std::vector<float> lineLeft(delay, 0.0f), lineRight(delay, 0.0f);
    // Each repeat passes a low-pass, so the echoes grow darker as they fade.
    Biquad toneLeft = MakeBiquad(FilterKind::LowPass, toneHz, 0.7);
    Biquad toneRight = toneLeft;
    float fb = float(std::clamp(feedback, 0.0, 0.95));
    size_t at = 0;
    auto step = [&](size_t i, float& outLeft, float& outRight) {
        outLeft = lineLeft[at];
        outRight = lineRight[at];
        float input = 0.5f * (send.left[i] + send.right[i]);
        lineLeft[at] = RunBiquad(toneLeft, input + outRight * fb);
        lineRight[at] = RunBiquad(toneRight, outLeft * fb);
        if (++at == delay) {
            at = 0;
        }
    };
    float ignoredLeft, ignoredRight;
    for (size_t i = WarmUpStart(send); i < frames; ++i) {
        step(i, ignoredLeft, ignoredRight);
    }
    for (size_t i = 0; i < frames; ++i) {
        float outLeft, outRight;
        step(i, outLeft, outRight);
        send.left[i] = outLeft;
        send.right[i] = outRight;
    }
}

double PeakOf(const Track& track) {
    double peak = 0;
    size_t frames = FramesOf(track);
    for (size_t i = 0; i < frames; ++i) {
        peak = std::max(peak, double(std::fabs(track.left[i])));
        peak = std::max(peak, double(std::fabs(track.right[i])));
    }
    return peak;
}

double RmsOf(const Track& track) {
    size_t frames = FramesOf(track);
    if (frames == 0) {
        return 0;
    }
    double sum = 0;
    for (size_t i = 0; i < frames; ++i) {
        sum += double(track.left[i]) * track.left[i] + double(track.right[i]) * track.right[i];
    }
    return std::sqrt(sum / (2.0 * double(frames)));
}

double ToDecibels(double amplitude) {
    return amplitude > 0 ? 20.0 * std::log10(amplitude) : -1000.0;
}

double FromDecibels(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

void ScaleTrack(Track& track, double gain) {
    for (float& s : track.left) {
        s = float(s * gain);
    }
    for (float& s : track.right) {
        s = float(s * gain);
    }
}

void FadeEnds(Track& track, double fadeInSeconds, double fadeOutSeconds) {
    size_t frames = FramesOf(track);
    size_t fadeIn = std::min(frames, SecondsToFrames(fadeInSeconds));
    size_t fadeOut = std::min(frames, SecondsToFrames(fadeOutSeconds));
    for (size_t i = 0; i < fadeIn; ++i) {
        float g = float(0.5 - 0.5 * std::cos(Pi * (double(i) + 0.5) / double(fadeIn)));
        track.left[i] *= g;
        track.right[i] *= g;
    }
    for (size_t i = 0; i < fadeOut; ++i) {
        float g = float(0.5 - 0.5 * std::cos(Pi * (double(i) + 0.5) / double(fadeOut)));
        track.left[frames - 1 - i] *= g;
        track.right[frames - 1 - i] *= g;
    }
}
