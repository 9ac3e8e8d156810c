// sound_effects.cpp: the six short game sounds, synthesised before level setting and encoding.
#include "sound_effects.h"

#include "music_score.h"

#include <cmath>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Adds a little room around a dry effect; the track must already hold the tail's length.
void AddRoom(Track& track, double roomSize, double damping, float mix) {
    ReverbSettings room;
    room.roomSize = roomSize;
    room.damping = damping;
    room.width = 0.9;
    Track wet = track;
    Reverberate(wet, room);
    MixInto(track, wet, mix);
}

// Writes a mono signal, computed sample by sample, into both channels.
template <typename Signal>
void AddMono(Track& track, double startSeconds, double lengthSeconds, double pan, Signal signal) {
    size_t start = SecondsToFrames(startSeconds);
    size_t frames = SecondsToFrames(lengthSeconds);
    size_t total = FramesOf(track);
    float left, right;
    PanGains(pan, left, right);
    for (size_t i = 0; i < frames && start + i < total; ++i) {
        float s = float(signal(double(i) / SampleRate));
        track.left[start + i] += s * left;
        track.right[start + i] += s * right;
    }
}

}  // namespace

Track RenderRefusedDrop() {
    Track track = MakeTrack(0.26, false);
    // A frequency-modulated tone whose pitch and buzz both fall away: the
    // modulator at the carrier's own frequency makes a reedy, muffled "bonk".
    double carrier = 0, modulator = 0;
    AddMono(track, 0.0, 0.26, 0.0, [&](double t) {
        double frequency = 170.0 + 250.0 * std::exp(-t / 0.045);
        carrier += 2.0 * Pi * frequency / SampleRate;
        modulator += 2.0 * Pi * frequency / SampleRate;
        double index = 0.4 + 1.5 * std::exp(-t / 0.05);
        double envelope = (1.0 - std::exp(-t / 0.003)) * std::exp(-t / 0.075);
        return std::sin(carrier + index * std::sin(modulator)) * envelope;
    });
    FilterTrack(track, FilterKind::LowPass, 2200.0, 0.7);
    AddRoom(track, 0.3, 0.6, 0.12f);
    FadeEnds(track, 0.001, 0.04);
    return track;
}

Track RenderPiecePlaced() {
    Track track = MakeTrack(0.26, false);
    // Two facets touching: a high inharmonic strike and a softer one just after.
    StruckTimbre gem;
    gem.partials = {{1.0, 1.0, 0.3}, {2.32, 0.45, 0.14}, {4.25, 0.3, 0.07}, {6.63, 0.15, 0.04}};
    gem.attackSeconds = 0.0008;
    gem.releaseSeconds = 0.02;
    AddStruckNote(track, 0.0, 1567.98, 1.0, -0.15, gem, -1);
    AddStruckNote(track, 0.016, 2349.32, 0.55, 0.2, gem, -1);
    Noise noise = MakeNoise(0x1C11A7u);
    Biquad high = MakeBiquad(FilterKind::HighPass, 5000.0, 0.7);
    AddMono(track, 0.0, 0.004, 0.0, [&](double t) {
        return RunBiquad(high, NextNoise(noise)) * 0.3 * std::exp(-t / 0.001);
    });
    AddRoom(track, 0.35, 0.5, 0.18f);
    FadeEnds(track, 0.001, 0.05);
    return track;
}

Track RenderLinesCleared() {
    Track track = MakeTrack(1.1, false);
    // F major climbing to the top, each bell a little brighter than the last.
    const int Notes[6] = {77, 81, 84, 89, 93, 96};  // F5 A5 C6 F6 A6 C7
    StruckTimbre bell = GlassBellTimbre();
    for (int i = 0; i < 6; ++i) {
        double start = 0.055 * i;
        double pan = -0.5 + 0.2 * i;
        AddStruckNote(track, start, NoteFrequency(Notes[i]), 0.55 + 0.07 * i, pan, bell, 0.75 - start);
    }
    StruckTimbre celesta = CelestaTimbre();
    AddStruckNote(track, 0.36, NoteFrequency(101), 0.3, 0.35, celesta, 0.4);  // F7 sparkle
    AddRoom(track, 0.6, 0.3, 0.3f);
    FadeEnds(track, 0.0005, 0.3);
    return track;
}

Track RenderGameOver() {
    Track track = MakeTrack(2.3, false);
    // F3 then D3: a falling minor third on a low bell, the second strike heavier.
    StruckTimbre bell = DarkBellTimbre();
    AddStruckNote(track, 0.0, NoteFrequency(53), 0.75, -0.2, bell, -1);
    AddStruckNote(track, 0.55, NoteFrequency(50), 1.0, 0.15, bell, -1);
    FilterTrack(track, FilterKind::LowPass, 3500.0, 0.7);
    AddRoom(track, 0.75, 0.5, 0.35f);
    FadeEnds(track, 0.001, 0.6);
    return track;
}

Track RenderMenuClick() {
    Track track = MakeTrack(0.11, false);
    double phase = 0;
    AddMono(track, 0.0, 0.11, 0.0, [&](double t) {
        double frequency = 650.0 + 900.0 * std::exp(-t / 0.007);
        phase += 2.0 * Pi * frequency / SampleRate;
        double envelope = (1.0 - std::exp(-t / 0.0008)) * std::exp(-t / 0.016);
        return std::sin(phase) * envelope;
    });
    Noise noise = MakeNoise(0x71C4u);
    Biquad band = MakeBiquad(FilterKind::BandPass, 3200.0, 1.5);
    AddMono(track, 0.0, 0.006, 0.0, [&](double t) {
        return RunBiquad(band, NextNoise(noise)) * 0.6 * std::exp(-t / 0.0015);
    });
    FadeEnds(track, 0.0005, 0.03);
    return track;
}

Track RenderNewBest() {
    Track track = MakeTrack(1.75, false);
    // A quick climb up the pentatonic scale like a score counter...
    const int Ticker[9] = {77, 79, 81, 84, 86, 89, 91, 93, 96};  // F5 .. C7
    StruckTimbre pluck = PluckTimbre();
    StruckTimbre celesta = CelestaTimbre();
    for (int i = 0; i < 9; ++i) {
        double start = 0.042 * i;
        double pan = (i % 2 == 0 ? -0.35 : 0.35);
        AddStruckNote(track, start, NoteFrequency(Ticker[i]), 0.35, pan, pluck, 0.05);
        AddStruckNote(track, start, NoteFrequency(Ticker[i] + 12), 0.15, -pan, celesta, 0.05);
    }
    // ...landing on a bright F major chord of bells...
    StruckTimbre bell = GlassBellTimbre();
    const int Chord[4] = {77, 89, 93, 96};  // F5 F6 A6 C7
    for (int i = 0; i < 4; ++i) {
        AddStruckNote(track, 0.40 + 0.012 * i, NoteFrequency(Chord[i]), 0.5, -0.3 + 0.2 * i, bell, 0.9);
    }
    // ...with sparkles scattered above it, fading as they go.
    const int Sparkles[5] = {96, 98, 101, 103, 105};  // C7 D7 F7 G7 A7
    Noise noise = MakeNoise(0x5EA51E5u);
    for (int i = 0; i < 12; ++i) {
        double start = 0.45 + 0.07 * i + 0.03 * NextNoise(noise);
        int note = Sparkles[(i * 3 + int(2.5 + 2.5 * NextNoise(noise))) % 5];
        double pan = 0.7 * NextNoise(noise);
        AddStruckNote(track, start, NoteFrequency(note), 0.2 * (1.0 - i / 14.0), pan, celesta, 0.15);
    }
    AddRoom(track, 0.65, 0.3, 0.3f);
    FadeEnds(track, 0.0005, 0.35);
    return track;
}
