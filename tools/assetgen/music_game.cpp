// music_game.cpp: the game track: marimba figures over a light pulse, in F major.
#include "music_score.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double Tempo = 100.0;  // beats per minute: 26460 samples a beat
constexpr double Beat = 60.0 / Tempo;
constexpr int BeatsPerBar = 4;
constexpr int Bars = 32;

// One chord per bar, in the relative major of the menu track's D minor. Four
// sections: the groove, a tune over it, a lighter break, and the groove again
// with a second tune that leads back to the start.
const char* const Progression[Bars] = {
    // Groove
    "F3 A3 C4 E4", "E3 G3 C4 D4", "D3 F3 A3 C4", "Bb2 F3 A3 D4",
    "F3 A3 C4 G4", "A2 E3 G3 C4", "Bb2 F3 A3 D4", "C3 G3 Bb3 E4",
    // Tune
    "D3 F3 A3 C4", "Bb2 F3 A3 D4", "F3 A3 C4 E4", "C3 G3 C4 E4",
    "D3 F3 A3 C4", "Bb2 F3 A3 D4", "G2 F3 Bb3 D4", "C3 F3 G3 Bb3",
    // Break
    "Bb2 F3 A3 D4", "A2 E3 G3 C4", "G2 F3 Bb3 D4", "F2 C3 E3 A3",
    "Bb2 F3 A3 D4", "A2 E3 G3 C4", "G2 F3 Bb3 D4", "C3 G3 Bb3 E4",
    // Groove again
    "F3 A3 C4 E4", "E3 G3 C4 D4", "D3 F3 A3 C4", "Bb2 F3 A3 D4",
    "F3 A3 C4 G4", "A2 E3 G3 C4", "Bb2 F3 A3 D4", "C3 G3 Bb3 E4",
};

// The bass's root of each chord (the lowest note may be an inversion).
const char* const Roots[Bars] = {
    "F2", "C2", "D2", "Bb1", "F2", "A1", "Bb1", "C2",
    "D2", "Bb1", "F2", "C2", "D2", "Bb1", "G1", "C2",
    "Bb1", "A1", "G1", "F1", "Bb1", "A1", "G1", "C2",
    "F2", "C2", "D2", "Bb1", "F2", "A1", "Bb1", "C2",
};

const char* const FirstTune =
    "A5 - F5 - D5 - E5 F5 | D5 - - - . . F5 G5 | A5 - C6 - A5 - G5 F5 | G5 - - - - - . . |"
    "A5 - F5 - D5 - E5 F5 | D5 - - - . . Bb5 A5 | G5 - Bb5 - D6 - C6 Bb5 | C6 - - - - - . . |";
const char* const BreakTune =
    "D5 - - - - - - - | C5 - - - E5 - - - | D5 - - - Bb4 - - - | C5 - - - - - - - |"
    "D5 - - - F5 - - - | E5 - - - C5 - - - | D5 - - - F5 - G5 - | E5 - - - - - - - |";
const char* const SecondTune =
    "C6 - A5 - F5 - A5 - | G5 - E5 - C5 - E5 G5 | F5 - - - D5 - F5 A5 | D6 - - - C6 - A5 - |"
    "C6 - A5 - F5 - A5 C6 | E6 - C6 - A5 - G5 - | F5 - D5 - F5 - Bb5 - | G5 - - - E5 - - - |";

// Marimba figures: indexes into the chord's tones, one per eighth note; -1 rests.
const int GrooveFigure[8] = {0, 2, 1, 3, 2, 4, 3, 1};
const int TuneFigure[8] = {0, -1, 2, 1, -1, 3, 2, -1};
const int BreakFigure[8] = {3, -1, -1, 2, -1, -1, 1, -1};
// Bass rhythm in eighth notes: 1 plays the root, 2 the octave above, 0 rests.
const int GrooveBass[8] = {1, 0, 0, 1, 1, 0, 2, 0};
const int BreakBass[8] = {1, 0, 0, 0, 0, 0, 1, 0};

double SecondsAt(double beat) {
    return beat * Beat;
}

struct Busses {
    Track dry;
    Track send;  // into the reverb
    Track echo;  // into the ping-pong echo
    Instrument marimba = MakeInstrument(MarimbaTimbre());
    Instrument bass = MakeInstrument(BassTimbre());
    Instrument pluck = MakeInstrument(PluckTimbre());
    Instrument bell = MakeInstrument(GlassBellTimbre());
};

void AddMarimbaBar(Busses& b, int bar, const std::vector<int>& chord, const int figure[8], double gain) {
    std::vector<int> tones = SpreadChord(chord, 65, 84);  // F4 .. C6
    for (int step = 0; step < 8; ++step) {
        if (figure[step] < 0 || tones.empty()) {
            continue;
        }
        int midi = tones[size_t(figure[step]) % tones.size()];
        // Accents on the beat and on the "and" of two, which gives the lilt.
        double velocity = (step == 0 || step == 3 || step == 4) ? 1.0 : 0.72;
        double pan = (step % 2 == 0) ? -0.25 : 0.3;
        double start = SecondsAt(bar * BeatsPerBar + step * 0.5);
        const Voice& note = PlayNote(b.marimba, NoteFrequency(midi), 0.32);
        AddVoice(b.dry, start, note, gain * velocity, pan);
        AddVoice(b.send, start, note, gain * velocity * 0.5, pan);
    }
}

void AddBassBar(Busses& b, int bar, int root, const int rhythm[8], double gain) {
    for (int step = 0; step < 8; ++step) {
        if (rhythm[step] == 0) {
            continue;
        }
        int midi = root + (rhythm[step] == 2 ? 12 : 0);
        double start = SecondsAt(bar * BeatsPerBar + step * 0.5);
        AddVoice(b.dry, start, PlayNote(b.bass, NoteFrequency(midi), SecondsAt(0.45)), gain, 0.0);
    }
}

void AddDrumBar(Busses& b, int bar, bool kick, bool rim, Noise& noise) {
    for (int step = 0; step < 16; ++step) {
        double start = SecondsAt(bar * BeatsPerBar + step * 0.25);
        // The shaker ticks every sixteenth, leaning on the off-beats.
        double shake = (step % 4 == 2) ? 0.16 : (step % 2 == 1 ? 0.07 : 0.1);
        AddShaker(b.dry, start, shake, 0.35, noise);
        if (kick && (step == 0 || step == 8 || (bar % 4 == 3 && step == 14))) {
            AddSoftKick(b.dry, start, 0.35);
        }
        if (rim && (step == 4 || step == 12)) {
            AddRimClick(b.dry, start, 0.16, -0.3, noise);
            AddRimClick(b.send, start, 0.1, -0.3, noise);
        }
    }
}

void AddTune(Busses& b, const char* text, int firstBar, Instrument& instrument, double gain, double pan) {
    for (const ScoreNote& n : ParsePhrase(text, firstBar * BeatsPerBar, 0.5)) {
        double start = SecondsAt(n.beat);
        const Voice& note = PlayNote(instrument, NoteFrequency(n.midi), SecondsAt(n.beats));
        AddVoice(b.dry, start, note, gain * n.velocity, pan);
        AddVoice(b.send, start, note, gain * n.velocity * 0.8, pan);
        AddVoice(b.echo, start, note, gain * n.velocity * 0.6, pan);
    }
}

}  // namespace

Track RenderGameMusic() {
    double length = SecondsAt(Bars * BeatsPerBar);
    Busses b;
    b.dry = MakeTrack(length, true);
    b.send = MakeTrack(length, true);
    b.echo = MakeTrack(length, true);
    PadVoices voices;
    Noise noise = MakeNoise(0x6A3E5u);
    Wavetable padWave = PadWavetable();
    PadShape pad;
    pad.attackSeconds = 0.8;
    pad.releaseSeconds = 1.2;
    pad.detuneCents = 5.0;
    pad.width = 0.8;

    for (int bar = 0; bar < Bars; ++bar) {
        std::vector<int> chord = ParseChord(Progression[bar]);
        int root = MidiOf(Roots[bar]);
        int section = bar / 8;
        bool inBreak = section == 2;
        const int* figure = section == 1 ? TuneFigure : (inBreak ? BreakFigure : GrooveFigure);
        AddMarimbaBar(b, bar, chord, figure, inBreak ? 0.12 : 0.15);
        while (root < 41) {
            root += 12;  // the bass stays between F2 and E3, under the marimba
        }
        AddBassBar(b, bar, root, inBreak ? BreakBass : GrooveBass, 0.2);
        // The break drops the kick for four bars and brings it back under the
        // climb; its first two bars keep only the shaker.
        bool kick = !inBreak || bar % 8 >= 4;
        bool rim = !inBreak || bar % 8 >= 2;
        AddDrumBar(b, bar, kick, rim, noise);
        double padGain = inBreak ? 0.035 : 0.022;
        double start = SecondsAt(bar * BeatsPerBar) - 0.3;
        if (start < 0) {
            start += length;  // the first swell begins at the end of the loop
        }
        for (int midi : chord) {
            RenderPadNote(voices, SecondsAt(BeatsPerBar), NoteFrequency(midi), padWave, pad);
            AddPadVoices(b.dry, start, voices, padGain, pad.width);
            AddPadVoices(b.send, start, voices, padGain, pad.width);
        }
    }
    AddTune(b, FirstTune, 8, b.pluck, 0.16, 0.15);
    AddTune(b, BreakTune, 16, b.bell, 0.13, -0.1);
    AddTune(b, SecondTune, 24, b.pluck, 0.16, 0.15);

    ReverbSettings room;
    room.roomSize = 0.7;
    room.damping = 0.45;
    room.width = 1.0;
    Reverberate(b.send, room);
    // A dotted-eighth echo, bouncing between the sides.
    PingPongEcho(b.echo, SecondsAt(0.75), 0.38, 3500.0);
    MixInto(b.dry, b.send, 0.7f);
    MixInto(b.dry, b.echo, 0.45f);
    FilterTrack(b.dry, FilterKind::HighPass, 35.0, 0.7);
    return std::move(b.dry);
}
