// music_score.h: writing music down: notes, phrases, chords, instruments and the two tracks.
#pragma once

#include "synth.h"

#include <string>
#include <vector>

// One note of a score, in beats from the start of the piece.
struct ScoreNote {
    double beat;
    double beats;  // how long it is held
    int midi;      // MIDI note number, middle C = 60
    double velocity;
};

// MIDI number of a note name such as "C4", "F#5" or "Bb3"; -1 when unreadable.
int MidiOf(const std::string& name);

// Reads a phrase written one step per token: a note name starts a note, "-"
// holds the previous note one step longer, "." is a step of silence and "|"
// is ignored (bar lines for the reader). A trailing "!" on a note accents it,
// a trailing "?" plays it softly. Notes start at `startBeat`, each step lasting
// `stepBeats`.
std::vector<ScoreNote> ParsePhrase(const std::string& text, double startBeat, double stepBeats);

// A chord as a list of note names separated by blanks, e.g. "D3 A3 E4 F4".
std::vector<int> ParseChord(const std::string& text);

// Every pitch of the chord's notes, in any octave, from `lowMidi` to `highMidi`
// inclusive, ascending: the tones an arpeggio may climb through.
std::vector<int> SpreadChord(const std::vector<int>& chord, int lowMidi, int highMidi);

// The instruments shared by the music and the effects.
StruckTimbre CelestaTimbre();    // soft, pure, short upper partials
StruckTimbre GlassBellTimbre();  // crystalline: free-bar partials, long ring
StruckTimbre MarimbaTimbre();    // woody: fundamental with 4th and 10th partials
StruckTimbre PluckTimbre();      // a soft harmonic pluck
StruckTimbre BassTimbre();       // a round plucked bass
StruckTimbre DarkBellTimbre();   // a low church bell: hum, minor third, fifth
Wavetable PadWavetable();        // warm, few harmonics

// The two music tracks, looping, before level setting and encoding.
Track RenderMenuMusic();
Track RenderGameMusic();

// Puts a finished loop at its listening level: the RMS at `rmsDecibels`, lowered
// further if needed so that no peak passes `peakCeilingDecibels`.
void SetLoopLevel(Track& track, double rmsDecibels, double peakCeilingDecibels);
