// audio_music_test.cpp: which track plays when, the effects, and the M, N and volume keys.
#include <gtest/gtest.h>

#include "core/state.h"
#include "audio/audio.h"
#include "platform/audio_test_support.h"

namespace {

constexpr int Frames = 2205;  // 50 ms: well inside every sound made below

class GameAudio : public ::testing::Test {
protected:
    void SetUp() override {
        App = AppState{};
        Audio = AudioState{};
        PfSelectBackend(PF_BACKEND_HEADLESS);
        ASSERT_EQ(InitSound(), 1);
        std::vector<uint8_t> track = MakeOggTone(44100, 2, 0.5, 330, 0.3);
        std::vector<uint8_t> effect = MakeOggTone(44100, 1, 0.2, 880, 0.3);
        for (int number = SndMenuTrack; number <= SndNewBest; number++) {
            const std::vector<uint8_t>& ogg = number <= SndGameTrack ? track : effect;
            ASSERT_NE(LoadSoundBytes(number, ogg.data(), ogg.size()), 0);
        }
    }
    void TearDown() override { PfShutdown(); }
};

TEST_F(GameAudio, MusicOffStartsNoTrackAnywhere) {
    App.Settings.Music = 0;
    StartMenuMusic();
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
    App.ScreenState = StatePlaying;
    EnterGameMusic();
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
    App.ScreenState = StateMainMenu;
    LeaveGameMusic();
    LeaveGameMusicAfterQuitQuestion();
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
}

TEST_F(GameAudio, TracksSwitchBetweenMenuAndGame) {
    StartMenuMusic();
    int menuChannel = Audio.MusicChannel;
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);

    App.ScreenState = StatePlaying;
    EnterGameMusic();
    int gameChannel = Audio.MusicChannel;
    EXPECT_EQ(SoundStatus(SndMenuTrack, menuChannel), SOUND_STOPPED);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);
    // The track loops: it is still there long after its length.
    MixFrames(44100);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);

    App.ScreenState = StateMainMenu;
    LeaveGameMusicAfterQuitQuestion();
    EXPECT_EQ(SoundStatus(SndGameTrack, gameChannel), SOUND_STOPPED);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);

    // Settings OK with music turned off stops whatever plays.
    StopPlayingTracks();
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
}

TEST_F(GameAudio, EffectsFollowSoundsAndTheVolume) {
    App.Settings.Sounds = 0;
    for (int number = SndRefused; number <= SndNewBest; number++) {
        PlayEffect(number);
    }
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));

    App.Settings.Sounds = 1;
    PlayEffect(SndPlaced);
    std::vector<int16_t> full = MixFrames(Frames);
    ASSERT_FALSE(AllSilent(full));
    MixFrames(44100);  // let it end

    App.Settings.MusicVolume = 50;
    PlayEffect(SndPlaced);
    std::vector<int16_t> half = MixFrames(Frames);
    for (size_t i = 0; i < full.size(); i++) {
        ASSERT_EQ(half[i], full[i] * 50 / 100) << "sample " << i;
    }
    MixFrames(44100);

    // Two placements in quick succession overlap rather than restart.
    App.Settings.MusicVolume = 100;
    PlayEffect(SndPlaced);
    PlayEffect(SndPlaced);
    std::vector<int16_t> both = MixFrames(Frames);
    for (size_t i = 0; i < full.size(); i++) {
        ASSERT_EQ(both[i], 2 * full[i]) << "sample " << i;
    }
    MixFrames(44100);

    // Sounds off leaves the music alone.
    App.Settings.Sounds = 0;
    StartMenuMusic();
    EXPECT_FALSE(AllSilent(MixFrames(Frames)));
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(GameAudio, MusicKeyStartsTheTrackOfTheCurrentScreen) {
    App.Settings.Music = 0;
    App.ScreenState = StateInGameMenu;
    ToggleMusicKey();
    EXPECT_EQ(App.Settings.Music, 1);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_STOPPED);

    ToggleMusicKey();
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_STOPPED);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));

    App.ScreenState = StateHelp;
    ToggleMusicKey();
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
    ToggleMusicKey();
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_STOPPED);

    // The settings screen ignores both toggles.
    App.ScreenState = StateSettings;
    ToggleMusicKey();
    ToggleSoundsKey();
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(App.Settings.Sounds, 1);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
    EXPECT_EQ(App.Pending.Music, 1);  // the key never touches the pending copy

    App.ScreenState = StateGameOver;
    ToggleSoundsKey();
    EXPECT_EQ(App.Settings.Sounds, 0);
    ToggleSoundsKey();
    EXPECT_EQ(App.Settings.Sounds, 1);
}

TEST_F(GameAudio, VolumeKeysStayWithinRangeAndZeroKeepsTracksRunning) {
    StartMenuMusic();
    App.Settings.MusicVolume = 98;
    ChangeVolumeKey(+1);
    ChangeVolumeKey(+1);
    EXPECT_EQ(App.Settings.MusicVolume, 100);
    ChangeVolumeKey(+1);
    EXPECT_EQ(App.Settings.MusicVolume, 100);

    App.Settings.MusicVolume = 1;
    ChangeVolumeKey(-1);
    ChangeVolumeKey(-1);
    EXPECT_EQ(App.Settings.MusicVolume, 0);
    EXPECT_TRUE(AllSilent(MixFrames(44100)));
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);

    // Effects still start at volume 0, silently; the track comes back with the volume.
    PlayEffect(SndClick);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
    ChangeVolumeKey(+1);
    EXPECT_FALSE(AllSilent(MixFrames(Frames)));

    // The volume reaches the game track too once it is the one playing.
    App.ScreenState = StatePlaying;
    EnterGameMusic();
    ChangeVolumeKey(-1);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);
}

TEST_F(GameAudio, PauseAndResumeActOnlyInTheMatchingStatus) {
    StartMenuMusic();
    PauseTrack(SndGameTrack);  // not the track on the music channel
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
    ResumeTrack(SndMenuTrack);  // playing, not paused: nothing to do
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);

    PauseTrack(SndMenuTrack);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PAUSED);
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
    PauseTrack(SndMenuTrack);
    ResumeTrack(SndGameTrack);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PAUSED);
    ResumeTrack(SndMenuTrack);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);

    StopTrack(SndMenuTrack);
    ResumeTrack(SndMenuTrack);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_STOPPED);
}

TEST_F(GameAudio, InactiveScreenAndWindowEventsPauseAndResume) {
    App.ScreenState = StatePlaying;
    EnterGameMusic();
    EXPECT_EQ(PauseMusicForInactive(), 1);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PAUSED);
    EXPECT_EQ(PauseMusicForInactive(), 0);  // already paused
    ResumePausedMusic();
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);

    PausePlayingTracks();
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PAUSED);
    ResumePausedMusic();
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);

    // Back in the menus the menu track is the one the inactive step looks at.
    App.ScreenState = StateMainMenu;
    LeaveGameMusic();
    EXPECT_EQ(PauseMusicForInactive(), 1);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PAUSED);

    // With music off nothing plays, so nothing is paused or resumed.
    StopTrack(SndMenuTrack);
    App.Settings.Music = 0;
    EXPECT_EQ(PauseMusicForInactive(), 0);
    ResumePausedMusic();
    EXPECT_TRUE(AllSilent(MixFrames(Frames)));
}

}  // namespace
