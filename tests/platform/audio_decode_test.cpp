// audio_decode_test.cpp: loading OGG Vorbis sounds: formats, lengths, and damaged data.
#include <gtest/gtest.h>

#include "pf_audio_decode.h"
#include "platform/audio_test_support.h"

namespace {

class SoundLoading : public ::testing::Test {
protected:
    void SetUp() override {
        PfSelectBackend(PF_BACKEND_HEADLESS);
        ASSERT_EQ(InitSound(), 1);
    }
    void TearDown() override { PfShutdown(); }

    // Plays `number` once and counts the frames until it stops by itself.
    static int PlayedLength(int number, std::vector<int16_t>* output = nullptr) {
        int channel = PlaySoundClip(number, 0, 100);
        EXPECT_GE(channel, 1);
        int frames = 0;
        while (SoundStatus(number, channel) == SOUND_PLAYING && frames < 10 * 44100) {
            std::vector<int16_t> piece = MixFrames(1);
            if (output) {
                output->insert(output->end(), piece.begin(), piece.end());
            }
            frames++;
        }
        return frames;
    }
};

TEST_F(SoundLoading, StereoAt44100KeepsItsExactLength) {
    std::vector<uint8_t> ogg = MakeOggTone(44100, 2, 0.25, 440, 0.5);
    ASSERT_EQ(LoadSoundBytes(3, ogg.data(), ogg.size()), 1);
    EXPECT_EQ(IsSound(3), 1);
    EXPECT_EQ(PlayedLength(3), 11025);
}

TEST_F(SoundLoading, MonoIsPlayedOnBothSides) {
    std::vector<uint8_t> ogg = MakeOggTone(44100, 1, 0.1, 440, 0.5);
    ASSERT_NE(LoadSoundBytes(0, ogg.data(), ogg.size()), 0);
    std::vector<int16_t> out;
    EXPECT_EQ(PlayedLength(0, &out), 4410);
    ASSERT_FALSE(AllSilent(out));
    for (size_t i = 0; i < out.size(); i += 2) {
        ASSERT_EQ(out[i], out[i + 1]) << "frame " << i / 2;
    }
}

TEST_F(SoundLoading, OtherRatesAreResampledKeepingDurationAndPitch) {
    // 0.2 s of 441 Hz at 22050 Hz: 8820 frames and about 88 cycles at 44100 Hz.
    std::vector<uint8_t> ogg = MakeOggTone(22050, 1, 0.2, 441, 0.5);
    ASSERT_NE(LoadSoundBytes(1, ogg.data(), ogg.size()), 0);
    std::vector<int16_t> out;
    EXPECT_EQ(PlayedLength(1, &out), 8820);
    int crossings = 0;
    for (size_t i = 2; i < out.size(); i += 2) {
        if ((out[i - 2] < 0) != (out[i] < 0)) {
            crossings++;
        }
    }
    EXPECT_NEAR(crossings, 2 * 88, 6);

    std::vector<uint8_t> fast = MakeOggTone(48000, 2, 0.1, 441, 0.5);
    ASSERT_NE(LoadSoundBytes(2, fast.data(), fast.size()), 0);
    EXPECT_EQ(PlayedLength(2), 4410);
}

TEST_F(SoundLoading, ResamplingInterpolatesBetweenFrames) {
    std::vector<int16_t> source = {0, 100, 1000, -100};
    std::vector<int16_t> doubled = PfResampleStereo(source, 22050, 44100);
    ASSERT_EQ(doubled.size(), 8u);
    EXPECT_EQ(doubled[0], 0);
    EXPECT_EQ(doubled[1], 100);
    EXPECT_EQ(doubled[2], 500);  // halfway between the two frames
    EXPECT_EQ(doubled[3], 0);
    EXPECT_EQ(doubled[4], 1000);  // the last frame holds
    EXPECT_EQ(doubled[6], 1000);
}

TEST_F(SoundLoading, DamagedDataIsRefusedWithoutCrashing) {
    std::vector<uint8_t> ogg = MakeOggTone(44100, 2, 0.5, 440, 0.5);
    ASSERT_GT(ogg.size(), 4000u);

    // Cut short: anywhere from inside the headers to the last byte.
    for (size_t keep : {size_t(10), size_t(100), ogg.size() / 2, ogg.size() - 1}) {
        std::vector<uint8_t> cut(ogg.begin(), ogg.begin() + long(keep));
        EXPECT_EQ(LoadSoundBytes(4, cut.data(), cut.size()), 0) << "kept " << keep;
        EXPECT_EQ(IsSound(4), 0);
    }

    // Noise, and a byte flipped inside the audio (the page checksum catches it).
    std::vector<uint8_t> noise(3000);
    uint32_t seed = 12345;
    for (uint8_t& b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = uint8_t(seed >> 16);
    }
    EXPECT_EQ(LoadSoundBytes(4, noise.data(), noise.size()), 0);
    std::vector<uint8_t> flipped = ogg;
    flipped[flipped.size() - 200] ^= 0x5A;
    EXPECT_EQ(LoadSoundBytes(4, flipped.data(), flipped.size()), 0);
    std::vector<uint8_t> badHeader = ogg;
    badHeader[60] ^= 0xFF;
    EXPECT_EQ(LoadSoundBytes(4, badHeader.data(), badHeader.size()), 0);

    EXPECT_EQ(LoadSoundBytes(4, nullptr, 100), 0);
    EXPECT_EQ(LoadSoundBytes(4, ogg.data(), 0), 0);
    EXPECT_EQ(IsSound(4), 0);
    EXPECT_EQ(PlaySoundClip(4, 0, 100), 0);
}

TEST_F(SoundLoading, ReplacingANumberFreesTheOldSoundEvenWhenTheNewOneFails) {
    std::vector<uint8_t> ogg = MakeOggTone(44100, 2, 0.5, 440, 0.5);
    ASSERT_NE(LoadSoundBytes(5, ogg.data(), ogg.size()), 0);
    int channel = PlaySoundClip(5, SOUND_LOOP, 100);
    ASSERT_EQ(SoundStatus(5, channel), SOUND_PLAYING);
    std::vector<uint8_t> cut(ogg.begin(), ogg.begin() + long(ogg.size() / 2));
    EXPECT_EQ(LoadSoundBytes(5, cut.data(), cut.size()), 0);
    EXPECT_EQ(IsSound(5), 0);
    EXPECT_EQ(SoundStatus(5, channel), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(512)));
}

TEST_F(SoundLoading, AnyNumberGivesDistinctHandles) {
    std::vector<uint8_t> ogg = MakeOggTone(44100, 1, 0.05, 440, 0.5);
    int first = LoadSoundBytes(PF_ANY, ogg.data(), ogg.size());
    int second = LoadSoundBytes(PF_ANY, ogg.data(), ogg.size());
    EXPECT_NE(first, 0);
    EXPECT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(IsSound(first), 1);
    FreeSound(first);
    EXPECT_EQ(IsSound(first), 0);
    EXPECT_EQ(IsSound(second), 1);
    EXPECT_EQ(PlayedLength(second), 2205);
}

}  // namespace
