// music_score.cpp: reading note names, phrases and chords written in the tracks' sources.
#include "music_score.h"

#include <algorithm>
#include <cctype>
#include <sstream>

int MidiOf(const std::string& name) {
    static const int Semitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2) {
        return -1;
    }
    char letter = char(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'G') {
        return -1;
    }
    int semitone = Semitones[letter - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++semitone;
        ++at;
    } else if (name[at] == 'b') {
        --semitone;
        ++at;
    }
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at]))) {
        return -1;
    }
    int octave = name[at] - '0';
    return 12 * (octave + 1) + semitone;
}

std::vector<ScoreNote> ParsePhrase(const std::string& text, double startBeat, double stepBeats) {
    std::vector<ScoreNote> notes;
    std::istringstream tokens(text);
    std::string token;
    double beat = startBeat;
    bool holding = false;  // whether "-" extends the last note or a rest
    while (tokens >> token) {
        if (token == "|") {
            continue;
        }
        if (token == "-") {
            if (holding && !notes.empty()) {
                notes.back().beats += stepBeats;
            }
            beat += stepBeats;
            continue;
        }
        if (token == ".") {
            holding = false;
            beat += stepBeats;
            continue;
        }
        double velocity = 0.8;
        if (token.back() == '!') {
            velocity = 1.0;
            token.pop_back();
        } else if (token.back() == '?') {
            velocity = 0.55;
            token.pop_back();
        }
        int midi = MidiOf(token);
        if (midi >= 0) {
            notes.push_back({beat, stepBeats, midi, velocity});
            holding = true;
        } else {
            holding = false;
        }
        beat += stepBeats;
    }
    return notes;
}

std::vector<int> ParseChord(const std::string& text) {
    std::vector<int> chord;
    std::istringstream tokens(text);
    std::string token;
    while (tokens >> token) {
        int midi = MidiOf(token);
        if (midi >= 0) {
            chord.push_back(midi);
        }
    }
    std::sort(chord.begin(), chord.end());
    return chord;
}

void SetLoopLevel(Track& track, double rmsDecibels, double peakCeilingDecibels) {
    double rms = RmsOf(track);
    double peak = PeakOf(track);
    if (rms <= 0 || peak <= 0) {
        return;
    }
    double gain = FromDecibels(rmsDecibels) / rms;
    gain = std::min(gain, FromDecibels(peakCeilingDecibels) / peak);
    ScaleTrack(track, gain);
}

std::vector<int> SpreadChord(const std::vector<int>& chord, int lowMidi, int highMidi) {
    std::vector<int> tones;
    for (int midi = lowMidi; midi <= highMidi; ++midi) {
        for (int note : chord) {
            if ((midi - note) % 12 == 0) {
                tones.push_back(midi);
                break;
            }
        }
    }
    return tones;
}

StruckTimbre CelestaTimbre() {
    StruckTimbre t;
    t.partials = {{1.0, 1.0, 1.8}, {2.0, 0.22, 0.7}, {3.0, 0.06, 0.35},
                  {4.07, 0.10, 0.22}, {5.53, 0.035, 0.12}};
    t.attackSeconds = 0.002;
    t.releaseSeconds = 0.25;
    return t;
}

StruckTimbre GlassBellTimbre() {
    StruckTimbre t;
    t.partials = {{1.0, 1.0, 3.2}, {2.0, 0.18, 1.4}, {2.76, 0.22, 0.9},
                  {5.40, 0.08, 0.35}, {8.93, 0.03, 0.15}};
    t.attackSeconds = 0.002;
    t.releaseSeconds = 0.4;
    return t;
}

StruckTimbre MarimbaTimbre() {
    StruckTimbre t;
    t.partials = {{1.0, 1.0, 0.55}, {3.99, 0.22, 0.09}, {9.95, 0.05, 0.03}};
    t.attackSeconds = 0.0015;
    t.releaseSeconds = 0.09;
    return t;
}

StruckTimbre PluckTimbre() {
    StruckTimbre t;
    t.partials = {{1.0, 1.0, 0.9}, {2.0, 0.45, 0.45}, {3.0, 0.22, 0.28},
                  {4.0, 0.10, 0.18}, {5.0, 0.05, 0.12}};
    t.attackSeconds = 0.002;
    t.releaseSeconds = 0.12;
    return t;
}

StruckTimbre BassTimbre() {
    StruckTimbre t;
    t.partials = {{1.0, 1.0, 0.9}, {2.0, 0.35, 0.35}, {3.0, 0.08, 0.2}};
    t.attackSeconds = 0.004;
    t.releaseSeconds = 0.06;
    return t;
}

StruckTimbre DarkBellTimbre() {
    StruckTimbre t;
    t.partials = {{0.5, 0.55, 3.2}, {1.0, 1.0, 2.2}, {1.19, 0.45, 1.6}, {1.5, 0.3, 1.2},
                  {2.0, 0.35, 0.9}, {2.52, 0.12, 0.6}, {2.67, 0.1, 0.5}, {3.33, 0.05, 0.35}};
    t.attackSeconds = 0.003;
    t.releaseSeconds = 0.3;
    return t;
}

Wavetable PadWavetable() {
    return MakeWavetable({1.0, 0.42, 0.22, 0.12, 0.07, 0.035, 0.02});
}
