// sound_synth_test.cpp: the synthesiser's loops, voices and score reading.
#include "music_score.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double EnergyOf(const Track& track, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < FramesOf(track); ++i) {
        sum += double(track.left[i]) * track.left[i] + double(track.right[i]) * track.right[i];
    }
    return sum;
}

TEST(SynthLoop, ANoteNearTheEndOfALoopRingsOnAtItsStart) {
    StruckTimbre timbre = CelestaTimbre();
    Track loop = MakeTrack(2.0, true);
    Track line = MakeTrack(2.0, false);
    AddStruckNote(loop, 1.9, 440.0, 0.5, 0.0, timbre, -1);
    AddStruckNote(line, 1.9, 440.0, 0.5, 0.0, timbre, -1);
    size_t tenth = SecondsToFrames(0.1);
    EXPECT_GT(EnergyOf(loop, 0, tenth), 1.0);
    EXPECT_EQ(EnergyOf(line, 0, tenth), 0.0);  // a one-shot drops what passes its end
    // Both hold the same start of the note.
    size_t at = SecondsToFrames(1.95);
    EXPECT_FLOAT_EQ(loop.left[at], line.left[at]);
}

TEST(SynthLoop, ReverbOfALoopCarriesTheEndsTailIntoTheStart) {
    Track loop = MakeTrack(1.0, true);
    Track line = MakeTrack(1.0, false);
    AddStruckNote(loop, 0.85, 660.0, 0.5, 0.0, GlassBellTimbre(), 0.05);
    AddStruckNote(line, 0.85, 660.0, 0.5, 0.0, GlassBellTimbre(), 0.05);
    ReverbSettings room;
    Track loopWet = loop;
    Track lineWet = line;
    Reverberate(loopWet, room);
    Reverberate(lineWet, room);
    size_t start = SecondsToFrames(0.2);
    EXPECT_GT(EnergyOf(loopWet, 0, start), 1e-4);
    EXPECT_EQ(EnergyOf(lineWet, 0, start), 0.0);
    // Across the joint the wet signal continues without a jump.
    size_t last = FramesOf(loopWet) - 1;
    double jump = std::fabs(loopWet.left[0] - loopWet.left[last]);
    double typical = std::fabs(loopWet.left[last] - loopWet.left[last - 1]) + 0.02;
    EXPECT_LT(jump, typical * 4);
}

TEST(SynthLoop, FilteringALoopKeepsItsJointContinuous) {
    // A sine of a whole number of cycles is a perfect loop; a filtered one must stay one.
    Track loop = MakeTrack(1.0, true);
    size_t frames = FramesOf(loop);
    for (size_t i = 0; i < frames; ++i) {
        loop.left[i] = loop.right[i] = float(0.5 * std::sin(2.0 * 3.14159265358979 * 50.0 * double(i) / double(frames)));
    }
    FilterTrack(loop, FilterKind::HighPass, 200.0, 0.7);
    double maxStep = 0;
    for (size_t i = 1; i < frames; ++i) {
        maxStep = std::max(maxStep, double(std::fabs(loop.left[i] - loop.left[i - 1])));
    }
    EXPECT_LE(std::fabs(loop.left[0] - loop.left[frames - 1]), maxStep * 1.01);
}

TEST(SynthVoices, StruckNotesStartAndEndAtRestAndDecay) {
    Voice voice;
    RenderStruckNote(voice, 523.25, GlassBellTimbre(), -1);
    ASSERT_GT(voice.size(), size_t(SampleRate));
    EXPECT_LT(std::fabs(voice.front()), 1e-3f);
    EXPECT_LT(std::fabs(voice.back()), 1e-3f);
    double early = 0, late = 0;
    for (size_t i = 0; i < 4410; ++i) {
        early = std::max(early, double(std::fabs(voice[i + 441])));
        late = std::max(late, double(std::fabs(voice[voice.size() / 2 + i])));
    }
    EXPECT_GT(early, late * 4);
    // A damped note is cut to its hold plus release.
    RenderStruckNote(voice, 523.25, GlassBellTimbre(), 0.1);
    EXPECT_EQ(voice.size(), SecondsToFrames(0.1 + GlassBellTimbre().releaseSeconds));
}

TEST(SynthVoices, AnInstrumentReplaysTheSameNoteItRendered) {
    Instrument marimba = MakeInstrument(MarimbaTimbre());
    const Voice& first = PlayNote(marimba, 349.23, 0.3);
    Voice direct;
    RenderStruckNote(direct, 349.23, MarimbaTimbre(), 0.3);
    EXPECT_EQ(first, direct);
    PlayNote(marimba, 349.23, 0.3);
    PlayNote(marimba, 392.0, 0.3);
    EXPECT_EQ(marimba.notes.size(), 2u);
}

TEST(SynthVoices, PartialsAboveTheAudibleBandAreLeftOut) {
    Voice voice;
    StruckTimbre high;
    high.partials = {{1.0, 1.0, 0.5}, {8.0, 1.0, 0.5}};
    RenderStruckNote(voice, 4000.0, high, 0.2);  // the 32 kHz partial would alias
    Voice pure;
    StruckTimbre fundamental;
    fundamental.partials = {{1.0, 1.0, 0.5}};
    RenderStruckNote(pure, 4000.0, fundamental, 0.2);
    ASSERT_EQ(voice.size(), pure.size());
    for (size_t i = 0; i < voice.size(); i += 97) {
        ASSERT_FLOAT_EQ(voice[i], pure[i]);
    }
}

TEST(Score, NoteNamesBecomeMidiNumbers) {
    EXPECT_EQ(MidiOf("A4"), 69);
    EXPECT_EQ(MidiOf("C4"), 60);
    EXPECT_EQ(MidiOf("Bb3"), 58);
    EXPECT_EQ(MidiOf("F#5"), 78);
    EXPECT_EQ(MidiOf("C#0"), 13);
    EXPECT_EQ(MidiOf("H4"), -1);
    EXPECT_EQ(MidiOf("C"), -1);
    EXPECT_EQ(MidiOf("C44"), -1);
    EXPECT_EQ(MidiOf(""), -1);
    EXPECT_NEAR(NoteFrequency(69), 440.0, 1e-9);
    EXPECT_NEAR(NoteFrequency(57), 220.0, 1e-9);
}

TEST(Score, PhrasesHoldRestAndAccent) {
    std::vector<ScoreNote> notes = ParsePhrase("C5 - - E5! | . - G5? . -", 8.0, 0.5);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].midi, 72);
    EXPECT_DOUBLE_EQ(notes[0].beat, 8.0);
    EXPECT_DOUBLE_EQ(notes[0].beats, 1.5);
    EXPECT_DOUBLE_EQ(notes[1].beat, 9.5);
    EXPECT_DOUBLE_EQ(notes[1].beats, 0.5);  // the rest's "-" does not extend it
    EXPECT_GT(notes[1].velocity, notes[0].velocity);
    EXPECT_DOUBLE_EQ(notes[2].beat, 11.0);
    EXPECT_LT(notes[2].velocity, notes[0].velocity);
    EXPECT_EQ(ParseChord("A3 D3 Xx F#4"), (std::vector<int>{50, 57, 66}));
    EXPECT_EQ(SpreadChord({62, 69}, 60, 75), (std::vector<int>{62, 69, 74}));
}

}  // namespace
