// music_menu.cpp: the menu track: slow pads and celesta arpeggios in D minor, at night.
#include "music_score.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double Tempo = 72.0;  // beats per minute: 36750 samples a beat
constexpr double Beat = 60.0 / Tempo;
constexpr int BeatsPerBar = 4;
constexpr int Bars = 32;

// One chord per bar. Four sections of eight bars: an opening of pads and
// arpeggios, a first tune, the opening again with an answering tune above
// it, and a bridge through E flat that turns back home on A.
const char* const Progression[Bars] = {
    // Opening
    "D3 A3 C4 E4 F4", "Bb2 F3 A3 D4", "G2 D3 Bb3 F4 A4", "A2 E3 G3 D4 E4",
    "D3 A3 C4 E4 F4", "Bb2 F3 A3 D4 E4", "F2 C3 E4 A4", "C3 G3 D4 E4",
    // First tune
    "Bb2 F3 A3 D4", "C3 G3 A3 E4", "A2 E3 G3 C4", "D3 A3 E4 F4",
    "G2 D3 A3 Bb3 F4", "C3 G3 D4 E4 A4", "F2 C3 E3 A3", "A2 E3 G3 D4",
    // Opening with an answer
    "D3 A3 C4 E4 F4", "Bb2 F3 A3 D4 E4", "G2 D3 Bb3 F4 A4", "A2 E3 G3 D4 E4",
    "D3 A3 C4 E4 F4", "Bb2 F3 A3 D4", "F2 C3 E4 A4", "C3 G3 D4 E4",
    // Bridge
    "Eb3 Bb3 D4 G4", "D3 A3 C4 E4 F4", "Eb3 Bb3 D4 G4", "D3 F3 Bb3 A4",
    "G2 D3 Bb3 F4 A4", "Bb2 F3 A3 D4", "A2 E3 G3 D4 E4", "A2 E3 G3 C#4 E4",
};

// The tunes, one eighth note per token, one line per bar.
const char* const FirstTune =
    "F5 - - - D5 - C5 - | E5 - - - - - G5 - | A5 - - - G5 - E5 - | F5 - - - - - - - |"
    "Bb5 - - - A5 - F5 - | G5 - - - E5 - D5 - | E5 - - - F5 - A5 - | E5 - - - - - . . |";
const char* const Answer =
    ". . . . A5? - C6 - | D6 - - - - - . . | . . . . Bb5? - A5 - | E5 - - - - - . . |"
    ". . . . A5? - F6 - | E6 - D6 - - - A5 - | C6 - - - - - A5 - | G5 - - - - - . . |";
const char* const BridgeTune =
    "G5 - - - - - Bb5 - | A5 - - - - - F5 - | G5 - - - D6 - - - | C6 - Bb5 - A5 - - - |"
    "Bb5 - - - A5 - G5 - | F5 - - - D5 - F5 - | E5 - - - - - - - | C#5 - - - E5 - - - |";

// Arpeggio shapes: indexes into the chord's tones from low to high, one per
// eighth note; -1 rests. Each section has its own, so the figure keeps moving.
const int OpeningFigure[8] = {0, 2, 4, 3, 1, 3, 5, 4};
const int AnswerFigure[8] = {2, 4, 6, 5, 3, -1, 4, 1};
const int TuneFigure[8] = {0, -1, 2, 1, 3, -1, 2, -1};
const int BridgeFigure[8] = {0, -1, -1, 3, -1, 2, -1, -1};

double SecondsAt(double beat) {
    return beat * Beat;
}

struct Band {
    Track dry;
    Track send;  // what goes into the reverb
    Instrument celesta = MakeInstrument(CelestaTimbre());
    Instrument bell = MakeInstrument(GlassBellTimbre());
};

void AddArpeggio(Band& band, int bar, const std::vector<int>& chord, const int figure[8], int low,
                 int high, double gain) {
    std::vector<int> tones = SpreadChord(chord, low, high);
    if (tones.empty()) {
        return;
    }
    for (int step = 0; step < 8; ++step) {
        if (figure[step] < 0) {
            continue;
        }
        int midi = tones[size_t(figure[step]) % tones.size()];
        double start = SecondsAt(bar * BeatsPerBar + step * 0.5);
        // The first of each pair leans on the beat; the others are lighter.
        double velocity = step % 2 == 0 ? 1.0 : 0.7;
        double pan = ((step * 5) % 7 - 3) / 6.0;  // the notes wander across the field
        const Voice& note = PlayNote(band.celesta, NoteFrequency(midi), -1);
        AddVoice(band.dry, start, note, gain * velocity, pan);
        AddVoice(band.send, start, note, gain * velocity, pan);
    }
}

void AddTune(Band& band, const char* text, int firstBar, double gain, double pan) {
    for (const ScoreNote& n : ParsePhrase(text, firstBar * BeatsPerBar, 0.5)) {
        double start = SecondsAt(n.beat);
        const Voice& note = PlayNote(band.bell, NoteFrequency(n.midi), SecondsAt(n.beats) + 0.4);
        AddVoice(band.dry, start, note, gain * n.velocity, pan);
        AddVoice(band.send, start, note, gain * n.velocity * 1.4, pan);
    }
}

}  // namespace

Track RenderMenuMusic() {
    double length = SecondsAt(Bars * BeatsPerBar);
    Band band;
    band.dry = MakeTrack(length, true);
    band.send = MakeTrack(length, true);
    Wavetable padWave = PadWavetable();
    Wavetable sineWave = MakeWavetable({1.0, 0.08});
    PadShape pad;
    pad.attackSeconds = 1.6;
    pad.releaseSeconds = 2.2;
    pad.detuneCents = 7.0;
    pad.width = 0.7;
    PadShape bass;
    bass.attackSeconds = 0.4;
    bass.releaseSeconds = 1.5;
    bass.detuneCents = 1.5;
    bass.width = 0.1;
    PadVoices voices;

    for (int bar = 0; bar < Bars; ++bar) {
        std::vector<int> chord = ParseChord(Progression[bar]);
        double start = SecondsAt(bar * BeatsPerBar);
        // Pads swell in a little before the bar line, so the chords melt together;
        // the first bar's swell begins at the very end of the loop.
        double padStart = start - 0.6;
        if (padStart < 0) {
            padStart += length;
        }
        for (size_t i = 0; i < chord.size(); ++i) {
            double gain = i == 0 ? 0.055 : 0.045;
            RenderPadNote(voices, SecondsAt(BeatsPerBar) + 0.2, NoteFrequency(chord[i]), padWave, pad);
            AddPadVoices(band.dry, padStart, voices, gain, pad.width);
            AddPadVoices(band.send, padStart, voices, gain * 0.8, pad.width);
        }
        RenderPadNote(voices, SecondsAt(BeatsPerBar) - 0.3, NoteFrequency(chord[0] - 12), sineWave, bass);
        AddPadVoices(band.dry, start, voices, 0.10, bass.width);

        switch (bar / 8) {
            case 0:
                AddArpeggio(band, bar, chord, OpeningFigure, 69, 88, 0.10);
                break;
            case 1:
                AddArpeggio(band, bar, chord, TuneFigure, 62, 81, 0.075);
                break;
            case 2:
                AddArpeggio(band, bar, chord, AnswerFigure, 67, 91, 0.085);
                break;
            default:
                AddArpeggio(band, bar, chord, BridgeFigure, 74, 93, 0.08);
                break;
        }
    }
    AddTune(band, FirstTune, 8, 0.14, -0.15);
    AddTune(band, Answer, 16, 0.11, 0.25);
    AddTune(band, BridgeTune, 24, 0.13, -0.1);

    ReverbSettings room;
    room.roomSize = 0.88;
    room.damping = 0.35;
    room.width = 1.0;
    Reverberate(band.send, room);
    MixInto(band.dry, band.send, 0.9f);
    // Nothing useful lives below the bass; cutting it keeps the level steady.
    FilterTrack(band.dry, FilterKind::HighPass, 32.0, 0.7);
    FilterTrack(band.dry, FilterKind::LowPass, 11000.0, 0.7);
    return std::move(band.dry);
}
