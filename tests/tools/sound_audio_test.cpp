// sound_audio_test.cpp: the generated music and effects decode, stay in level, loop cleanly.
#include "assetgen.h"
#include "vorbis_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace {

struct Expectation {
    double minSeconds;
    double maxSeconds;
    bool music;
};

const std::map<std::string, Expectation> Expected = {
    {"music1.ogg", {60.0, 120.0, true}},
    {"music2.ogg", {60.0, 120.0, true}},
    {"collect_item_hurry_out_of_time_01.ogg", {0.18, 0.35, false}},
    {"coin_ring_gemstone_item_02.ogg", {0.18, 0.32, false}},
    {"chime_bell_positive_ring_01.ogg", {0.8, 1.2, false}},
    {"game_over_dark_bell_chime_01.ogg", {1.5, 2.5, false}},
    {"ui_menu_popup_01.ogg", {0.08, 0.15, false}},
    {"points_ticker_bonus_score_reward_single_05.ogg", {1.2, 2.0, false}},
};

struct Measured {
    DecodedSound sound;
    size_t frames = 0;
    double peak = 0;
    double rms = 0;
};

double Decibels(double amplitude) {
    return 20.0 * std::log10(std::max(amplitude, 1e-12));
}

Measured Measure(const std::vector<uint8_t>& bytes) {
    Measured m;
    EXPECT_TRUE(DecodeVorbis(bytes, m.sound));
    if (m.sound.channels <= 0) {
        return m;
    }
    m.frames = m.sound.samples.size() / size_t(m.sound.channels);
    double sum = 0;
    for (float s : m.sound.samples) {
        m.peak = std::max(m.peak, double(std::fabs(s)));
        sum += double(s) * s;
    }
    m.rms = m.sound.samples.empty() ? 0 : std::sqrt(sum / double(m.sound.samples.size()));
    return m;
}

float At(const Measured& m, size_t frame, int channel) {
    return m.sound.samples[frame * size_t(m.sound.channels) + size_t(channel)];
}

// The value below which the given share of the values lie.
double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    size_t at = std::min(values.size() - 1, size_t(share * double(values.size())));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(at), values.end());
    return values[at];
}

class GeneratedAudio : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        files = new std::vector<GeneratedFile>(GenerateAudio());
        measured = new std::map<std::string, Measured>;
        for (const GeneratedFile& file : *files) {
            (*measured)[file.name] = Measure(file.bytes);
        }
    }
    static void TearDownTestSuite() {
        delete files;
        delete measured;
        files = nullptr;
        measured = nullptr;
    }
    static std::vector<GeneratedFile>* files;
    static std::map<std::string, Measured>* measured;
};

std::vector<GeneratedFile>* GeneratedAudio::files = nullptr;
std::map<std::string, Measured>* GeneratedAudio::measured = nullptr;

TEST_F(GeneratedAudio, EverySoundIsThereOnceUnderItsEntryName) {
    ASSERT_EQ(files->size(), Expected.size());
    for (const GeneratedFile& file : *files) {
        EXPECT_EQ(Expected.count(file.name), 1u) << "unexpected entry " << file.name;
        EXPECT_EQ(measured->count(file.name), 1u);
    }
    EXPECT_EQ(measured->size(), Expected.size()) << "an entry name appears twice";
}

TEST_F(GeneratedAudio, DecodesAt44100HzWithTheExpectedLength) {
    for (const GeneratedFile& file : *files) {
        SCOPED_TRACE(file.name);
        const Measured& m = measured->at(file.name);
        const Expectation& e = Expected.at(file.name);
        EXPECT_EQ(m.sound.rate, 44100);
        if (e.music) {
            EXPECT_EQ(m.sound.channels, 2);
        } else {
            EXPECT_TRUE(m.sound.channels == 1 || m.sound.channels == 2);
        }
        double seconds = double(m.frames) / 44100.0;
        EXPECT_GE(seconds, e.minSeconds);
        EXPECT_LE(seconds, e.maxSeconds);
        // The game extracts each sound into a 15 MiB buffer.
        EXPECT_LE(file.bytes.size(), 15u * 1024u * 1024u);
    }
}

TEST_F(GeneratedAudio, DecodedPeaksLeaveHeadroomAndNothingClips) {
    for (const GeneratedFile& file : *files) {
        SCOPED_TRACE(file.name);
        const Measured& m = measured->at(file.name);
        EXPECT_LE(Decibels(m.peak), -1.0);
        EXPECT_GT(Decibels(m.peak), -12.0) << "far too quiet";
        size_t fullScale = std::count_if(m.sound.samples.begin(), m.sound.samples.end(),
                                         [](float s) { return std::fabs(s) >= 0.999f; });
        EXPECT_EQ(fullScale, 0u);
    }
}

TEST_F(GeneratedAudio, MusicIsQuieterThanEveryEffect) {
    for (const char* track : {"music1.ogg", "music2.ogg"}) {
        double musicRms = Decibels(measured->at(track).rms);
        EXPECT_GT(musicRms, -30.0) << track << " is barely audible";
        for (const auto& [name, e] : Expected) {
            if (!e.music) {
                EXPECT_LT(musicRms + 2.0, Decibels(measured->at(name).rms)) << track << " against " << name;
            }
        }
    }
}

TEST_F(GeneratedAudio, MusicLoopJointIsAsSmoothAsTheTrackItself) {
    for (const char* track : {"music1.ogg", "music2.ogg"}) {
        const Measured& m = measured->at(track);
        ASSERT_GT(m.frames, 44100u) << track;
        for (int c = 0; c < m.sound.channels; ++c) {
            SCOPED_TRACE(std::string(track) + " channel " + std::to_string(c));
            std::vector<double> steps, bends;
            steps.reserve(m.frames);
            bends.reserve(m.frames);
            for (size_t i = 2; i < m.frames; i += 3) {  // every third step is a fair sample
                double step = At(m, i, c) - At(m, i - 1, c);
                double before = At(m, i - 1, c) - At(m, i - 2, c);
                steps.push_back(std::fabs(step));
                bends.push_back(std::fabs(step - before));
            }
            size_t last = m.frames - 1;
            double jump = At(m, 0, c) - At(m, last, c);
            double slopeBefore = At(m, last, c) - At(m, last - 1, c);
            // The step across the joint, and its change of slope, are ordinary ones.
            EXPECT_LE(std::fabs(jump), Percentile(steps, 0.99));
            EXPECT_LE(std::fabs(jump - slopeBefore), Percentile(bends, 0.99));
        }
        // The loop flows through the joint rather than fading out and in around it.
        size_t half = 22050;
        double start = 0, end = 0;
        for (size_t i = 0; i < half; ++i) {
            for (int c = 0; c < m.sound.channels; ++c) {
                start += double(At(m, i, c)) * At(m, i, c);
                end += double(At(m, m.frames - 1 - i, c)) * At(m, m.frames - 1 - i, c);
            }
        }
        double scale = double(half) * m.sound.channels;
        EXPECT_GT(Decibels(std::sqrt(start / scale)), Decibels(m.rms) - 12.0) << track;
        EXPECT_GT(Decibels(std::sqrt(end / scale)), Decibels(m.rms) - 12.0) << track;
    }
}

TEST_F(GeneratedAudio, EffectsEndInSilenceWithoutAClick) {
    for (const auto& [name, e] : Expected) {
        if (e.music) {
            continue;
        }
        const Measured& m = measured->at(name);
        ASSERT_GT(m.frames, 100u) << name;
        for (int c = 0; c < m.sound.channels; ++c) {
            EXPECT_LT(std::fabs(At(m, m.frames - 1, c)), 0.01f) << name;
        }
        // The loudest moment lies in the first half: these are struck sounds
        // answering a move, not swells that arrive late.
        size_t loudest = 0;
        for (size_t i = 0; i < m.frames; ++i) {
            if (std::fabs(At(m, i, 0)) > std::fabs(At(m, loudest, 0))) {
                loudest = i;
            }
        }
        EXPECT_LT(loudest, m.frames / 2) << name;
    }
}

TEST_F(GeneratedAudio, EveryRunWritesTheSameBytes) {
    std::vector<GeneratedFile> again = GenerateAudio();
    ASSERT_EQ(again.size(), files->size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].name, (*files)[i].name);
        EXPECT_TRUE(again[i].bytes == (*files)[i].bytes) << again[i].name << " differs between runs";
    }
}

}  // namespace
