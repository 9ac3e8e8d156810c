// audio_mixer_test.cpp: playback channels: loop, pause, resume, stop, volume, overlap, saturation.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/audio_test_support.h"

namespace {

constexpr int ToneFrames = 4410;  // 0.1 s at 44100 Hz

class SoundMixer : public ::testing::Test {
protected:
    void SetUp() override {
        PfSelectBackend(PF_BACKEND_HEADLESS);
        ASSERT_EQ(InitSound(), 1);
        ASSERT_EQ(PfSoundDeviceOpen(), 0);
        std::vector<uint8_t> quiet = MakeOggTone(44100, 2, 0.1, 440, 0.3);
        std::vector<uint8_t> loud = MakeOggTone(44100, 2, 0.1, 440, 0.9);
        ASSERT_NE(LoadSoundBytes(1, quiet.data(), quiet.size()), 0);
        ASSERT_NE(LoadSoundBytes(2, loud.data(), loud.size()), 0);
    }
    void TearDown() override { PfShutdown(); }

    // The output of one play of `number` at full volume, alone, for its length.
    static std::vector<int16_t> SoloOutput(int number) {
        int channel = PlaySoundClip(number, SOUND_MULTIPLE, 100);
        std::vector<int16_t> out = MixFrames(ToneFrames);
        EXPECT_EQ(SoundStatus(number, channel), SOUND_STOPPED);
        return out;
    }
};

TEST_F(SoundMixer, LoopedSoundPausesResumesAndStops) {
    int channel = PlaySoundClip(1, SOUND_LOOP, 100);
    ASSERT_GE(channel, 1);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);

    // A loop outlives its length many times over and never falls silent.
    std::vector<int16_t> looped = MixFrames(ToneFrames * 5 + 123);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    std::vector<int16_t> lastStretch(looped.end() - 2000, looped.end());
    EXPECT_FALSE(AllSilent(lastStretch));

    PauseSoundClip(1, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PAUSED);
    EXPECT_TRUE(AllSilent(MixFrames(ToneFrames * 2)));
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PAUSED);

    PauseSoundClip(1, channel);  // pausing twice changes nothing
    ResumeSoundClip(1, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    EXPECT_FALSE(AllSilent(MixFrames(1000)));

    StopSoundClip(1, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(1000)));
    ResumeSoundClip(1, channel);  // a stopped channel cannot be resumed
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
}

TEST_F(SoundMixer, PausedSoundContinuesWhereItStopped) {
    std::vector<int16_t> solo = SoloOutput(1);
    int channel = PlaySoundClip(1, 0, 100);
    std::vector<int16_t> first = MixFrames(1000);
    PauseSoundClip(1, channel);
    MixFrames(5000);
    ResumeSoundClip(1, channel);
    std::vector<int16_t> rest = MixFrames(ToneFrames - 1000);
    first.insert(first.end(), rest.begin(), rest.end());
    EXPECT_EQ(first, solo);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
}

TEST_F(SoundMixer, OneShotEndsAfterItsLengthOfMixedFrames) {
    int channel = PlaySoundClip(1, 0, 100);
    MixFrames(ToneFrames - 1);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    MixFrames(1);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(500)));
    // Status of a finished play stays "stopped" even after new plays start.
    int again = PlaySoundClip(1, 0, 100);
    EXPECT_NE(again, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(1, again), SOUND_PLAYING);
}

TEST_F(SoundMixer, VolumeScalesAndZeroKeepsPlayingSilently) {
    std::vector<int16_t> solo = SoloOutput(1);

    int channel = PlaySoundClip(1, SOUND_LOOP, 0);
    EXPECT_TRUE(AllSilent(MixFrames(ToneFrames * 3)));
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    StopSoundClip(1, channel);

    // A silent one-shot still ends on time.
    channel = PlaySoundClip(1, 0, 0);
    MixFrames(ToneFrames);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);

    channel = PlaySoundClip(1, 0, 100);
    SetSoundVolume(1, 50, channel);
    std::vector<int16_t> half = MixFrames(ToneFrames);
    for (size_t i = 0; i < solo.size(); i++) {
        ASSERT_EQ(half[i], solo[i] * 50 / 100) << "sample " << i;
    }

    // Out-of-range volumes are held to 0..100.
    channel = PlaySoundClip(1, 0, 250);
    EXPECT_EQ(MixFrames(ToneFrames), solo);
    channel = PlaySoundClip(1, 0, -5);
    EXPECT_TRUE(AllSilent(MixFrames(ToneFrames)));
}

TEST_F(SoundMixer, MultipleFlagOverlapsPlaysOfOneSound) {
    std::vector<int16_t> solo = SoloOutput(1);
    int first = PlaySoundClip(1, SOUND_MULTIPLE, 100);
    int second = PlaySoundClip(1, SOUND_MULTIPLE, 100);
    ASSERT_GE(first, 1);
    ASSERT_GE(second, 1);
    EXPECT_NE(first, second);
    EXPECT_EQ(SoundStatus(1, first), SOUND_PLAYING);
    EXPECT_EQ(SoundStatus(1, second), SOUND_PLAYING);
    std::vector<int16_t> both = MixFrames(ToneFrames);
    EXPECT_GT(SumOfMagnitudes(both), SumOfMagnitudes(solo) * 19 / 10);
    EXPECT_EQ(SoundStatus(1, first), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(1, second), SOUND_STOPPED);

    // Stopping one play leaves the other running.
    first = PlaySoundClip(1, SOUND_MULTIPLE, 100);
    second = PlaySoundClip(1, SOUND_MULTIPLE, 100);
    StopSoundClip(1, first);
    EXPECT_EQ(SoundStatus(1, first), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(1, second), SOUND_PLAYING);
    EXPECT_EQ(MixFrames(ToneFrames), solo);
}

TEST_F(SoundMixer, ReplayWithoutMultipleFlagRestartsOnTheSameChannel) {
    std::vector<int16_t> solo = SoloOutput(1);
    int channel = PlaySoundClip(1, 0, 100);
    MixFrames(ToneFrames / 2);
    int again = PlaySoundClip(1, 0, 100);
    EXPECT_EQ(again, channel);
    // Only one play is heard, from the start, and it lasts its full length again.
    EXPECT_EQ(MixFrames(ToneFrames), solo);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);

    // A paused sound played again restarts and plays.
    channel = PlaySoundClip(1, SOUND_LOOP, 100);
    PauseSoundClip(1, channel);
    EXPECT_EQ(PlaySoundClip(1, SOUND_LOOP, 100), channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
}

TEST_F(SoundMixer, LoudMixSaturatesInsteadOfWrappingRound) {
    std::vector<int16_t> solo = SoloOutput(2);
    PlaySoundClip(2, SOUND_MULTIPLE, 100);
    PlaySoundClip(2, SOUND_MULTIPLE, 100);
    std::vector<int16_t> both = MixFrames(ToneFrames);
    int clipped = 0;
    for (size_t i = 0; i < solo.size(); i++) {
        int exact = 2 * int(solo[i]);
        int expected = exact > 32767 ? 32767 : exact < -32768 ? -32768 : exact;
        ASSERT_EQ(both[i], expected) << "sample " << i;
        clipped += exact != expected;
    }
    EXPECT_GT(clipped, 100);  // the test really reached the limits
}

TEST_F(SoundMixer, ChannelsAreAskedAboutTheirOwnSoundOnly) {
    int channel = PlaySoundClip(1, SOUND_LOOP, 100);
    EXPECT_EQ(SoundStatus(2, channel), SOUND_STOPPED);
    StopSoundClip(2, channel);  // another sound's number: no effect
    PauseSoundClip(2, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    EXPECT_EQ(PlaySoundClip(7, 0, 100), 0);  // not loaded
    EXPECT_EQ(SoundStatus(7, 1), SOUND_STOPPED);
    // Channel 0, what a failed play returns, addresses nothing; -1 every play.
    EXPECT_EQ(SoundStatus(1, 0), SOUND_STOPPED);
    StopSoundClip(1, 0);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    int second = PlaySoundClip(1, SOUND_LOOP | SOUND_MULTIPLE, 100);
    PauseSoundClip(1, -1);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PAUSED);
    EXPECT_EQ(SoundStatus(1, second), SOUND_PAUSED);
    EXPECT_EQ(SoundStatus(1, -1), SOUND_PAUSED);
    ResumeSoundClip(1, second);
    EXPECT_EQ(SoundStatus(1, -1), SOUND_PLAYING);

    FreeSound(1);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(500)));
}

TEST_F(SoundMixer, ShutdownForgetsEverything) {
    int channel = PlaySoundClip(1, SOUND_LOOP, 100);
    PfShutdown();
    EXPECT_EQ(IsSound(1), 0);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(100)));
    PfSelectBackend(PF_BACKEND_HEADLESS);
    EXPECT_EQ(InitSound(), 1);
}

// The system backend on a machine without a usable device: the dummy driver
// counts as none, the game starts anyway and playback follows the clock.
TEST(SoundWithoutDevice, RunsSilentlyAndOneShotsStillEnd) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PfSelectBackend(PF_BACKEND_SYSTEM);
    ASSERT_EQ(InitSound(), 1);
    EXPECT_EQ(PfSoundDeviceOpen(), 0);
    std::vector<uint8_t> ogg = MakeOggTone(44100, 1, 0.05, 440, 0.5);
    ASSERT_NE(LoadSoundBytes(0, ogg.data(), ogg.size()), 0);
    int shot = PlaySoundClip(0, SOUND_MULTIPLE, 100);
    int loop = PlaySoundClip(0, SOUND_LOOP | SOUND_MULTIPLE, 100);
    EXPECT_EQ(SoundStatus(0, shot), SOUND_PLAYING);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    EXPECT_EQ(SoundStatus(0, shot), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(0, loop), SOUND_PLAYING);
    PfShutdown();
}

// A real device, stood in for by SDL's disk driver: the callback thread mixes
// under the device lock while the game asks for statuses, and sounds reach the
// output. Waits are generous and end as soon as the sound has ended.
TEST(SoundWithDevice, CallbackPlaysSoundsToTheDevice) {
    std::string output = std::string(PRISMORIA_TEST_TMP) + "/audio_disk_output.raw";
    std::filesystem::create_directories(PRISMORIA_TEST_TMP);
    std::filesystem::remove(output);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    PfSelectBackend(PF_BACKEND_SYSTEM);
    ASSERT_EQ(InitSound(), 1);
    if (!PfSoundDeviceOpen()) {
        PfShutdown();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        GTEST_SKIP() << "SDL offers no disk audio driver here";
    }
    std::vector<uint8_t> ogg = MakeOggTone(44100, 2, 0.05, 440, 0.5);
    ASSERT_NE(LoadSoundBytes(0, ogg.data(), ogg.size()), 0);
    // A track long enough to be streamed: the callback thread decodes it.
    std::vector<uint8_t> track = MakeOggTone(44100, 2, 3.5, 400, 0.5);
    ASSERT_NE(LoadSoundBytes(1, track.data(), track.size()), 0);
    int music = PlaySoundClip(1, SOUND_LOOP, 100);
    int loop = PlaySoundClip(0, SOUND_LOOP | SOUND_MULTIPLE, 100);
    int shot = PlaySoundClip(0, SOUND_MULTIPLE, 100);
    for (int waited = 0; waited < 5000 && SoundStatus(0, shot) == SOUND_PLAYING; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(SoundStatus(0, shot), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(0, loop), SOUND_PLAYING);
    EXPECT_EQ(SoundStatus(1, music), SOUND_PLAYING);
    PauseSoundClip(0, loop);
    EXPECT_EQ(SoundStatus(0, loop), SOUND_PAUSED);
    PfShutdown();
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::ifstream in(output, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GE(bytes.size(), size_t(2205 * 4));
    bool heard = false;
    for (char b : bytes) {
        heard = heard || b != 0;
    }
    EXPECT_TRUE(heard);
    std::filesystem::remove(output);
}

// The device going away and coming back through SDL's own events, naming real
// device ids, with SDL's disk driver standing in for a device: the removal of
// another device or of a capture device changes nothing; its own removal leaves
// playback on the clock (a one-shot still ends, the looped track keeps its
// channel); a capture device added, or a device that cannot be opened, leaves it
// so; the next output device added takes the playback over, heard in its
// output. When the device comes back unannounced (a sound server restarted), a
// frame with time to spare finds it once the last try is a while old.
TEST(SoundWithDevice, DeviceRemovedPlaysOnSilentlyAndTheDeviceComingBackTakesOver) {
    const std::string output = std::string(PRISMORIA_TEST_TMP) + "/audio_device_return.raw";
    std::filesystem::create_directories(PRISMORIA_TEST_TMP);
    std::filesystem::remove(output);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    PfSelectBackend(PF_BACKEND_SYSTEM);
    ASSERT_EQ(InitSound(), 1);
    const int device = PfSoundDeviceOpen();
    if (device == 0) {
        PfShutdown();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        GTEST_SKIP() << "SDL offers no disk audio driver here";
    }
    std::vector<uint8_t> ogg = MakeOggTone(44100, 2, 0.05, 440, 0.5);
    ASSERT_NE(LoadSoundBytes(0, ogg.data(), ogg.size()), 0);
    const int music = PlaySoundClip(0, SOUND_LOOP, 100);
    const auto deviceEvent = [](Uint32 type, int which, int capture) {
        SDL_Event e{};
        e.type = type;
        e.adevice.which = Uint32(which);
        e.adevice.iscapture = Uint8(capture);
        SDL_PushEvent(&e);
        ReadKeyboard();  // takes SDL's events in, as every frame does
    };

    deviceEvent(SDL_AUDIODEVICEREMOVED, device + 1, 0);
    EXPECT_EQ(PfSoundDeviceOpen(), device) << "another device went";
    deviceEvent(SDL_AUDIODEVICEREMOVED, device, 1);
    EXPECT_EQ(PfSoundDeviceOpen(), device) << "a capture device of the same number went";
    deviceEvent(SDL_AUDIODEVICEREMOVED, device, 0);
    EXPECT_EQ(PfSoundDeviceOpen(), 0);
    const auto heardBytes = [&] { return std::filesystem::file_size(output); };
    const auto bytesAtRemoval = heardBytes();
    const int shot = PlaySoundClip(0, SOUND_MULTIPLE, 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    EXPECT_EQ(SoundStatus(0, shot), SOUND_STOPPED) << "the clock ends a one-shot without a device";
    EXPECT_EQ(SoundStatus(0, music), SOUND_PLAYING);
    EXPECT_EQ(heardBytes(), bytesAtRemoval) << "nothing is written to a removed device";

    deviceEvent(SDL_AUDIODEVICEADDED, 0, 1);
    EXPECT_EQ(PfSoundDeviceOpen(), 0) << "a capture device came";
    // A device that fails to open (its file cannot be created): still silent, still playing.
    setenv("SDL_DISKAUDIOFILE", (output + ".missing/folder.raw").c_str(), 1);
    deviceEvent(SDL_AUDIODEVICEADDED, 0, 0);
    EXPECT_EQ(PfSoundDeviceOpen(), 0);
    EXPECT_EQ(SoundStatus(0, music), SOUND_PLAYING);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    deviceEvent(SDL_AUDIODEVICEADDED, 0, 0);
    EXPECT_NE(PfSoundDeviceOpen(), 0);

    // Gone again, and back without a word: not tried at once after the loss, then found.
    deviceEvent(SDL_AUDIODEVICEREMOVED, PfSoundDeviceOpen(), 0);
    FlipFrame();
    EXPECT_EQ(PfSoundDeviceOpen(), 0) << "tried again only a while after the loss";
    PfSetSoundRetryInterval(0);
    FlipFrame();
    ASSERT_NE(PfSoundDeviceOpen(), 0);
    EXPECT_EQ(SoundStatus(0, music), SOUND_PLAYING);
    // The reopened device writes its file afresh and fills it with the track.
    bool heard = false;
    for (int waited = 0; waited < 5000 && !heard; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(output, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (char b : bytes) heard = heard || b != 0;
    }
    EXPECT_TRUE(heard) << "the track is heard on the device that came back";
    EXPECT_EQ(SoundStatus(0, music), SOUND_PLAYING);
    PfShutdown();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::remove(output);
}

}  // namespace
