// music_road_test.cpp: the music of every screen along one road through the whole game, with music on and off.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "play/play.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "display/display.h"
#include "harness.h"
#include "platform.h"
#include "platform/audio_test_support.h"

namespace {

using MusicRoad = HarnessTest;

enum Expect { None = -1, Menu = SndMenuTrack, Game = SndGameTrack, SameGame = 2 };

struct Step {
    const char* name;
    std::function<void()> act;
    int state;       // the screen state the step leads to
    Expect musicOn;  // the track playing afterwards when the run starts with music on
    Expect musicOff; // the same when it starts with music (and sounds) off
};

void ClickStatusBarMenuButton() {
    const ScreenRect& area = PlayLayout.MenuButtonArea;
    ClickAt((area.x1 + area.x2) / 2, (area.y1 + area.y2) / 2);
}

void EndTheGame() {
    ASSERT_TRUE(PlayGameToTheEnd(11));
}

const Step Road[] = {
    {"start-up", [] {}, StateMainMenu, Menu, None},
    {"QUICKGAME", [] { ClickButton(StateMainMenu, 2); }, StatePlaying, Game, None},
    {"status bar menu button", ClickStatusBarMenuButton, StateInGameMenu, SameGame, None},
    {"RESTART", [] { ClickButton(StateInGameMenu, 2); }, StatePlaying, SameGame, None},
    {"Escape to the in-game menu", [] { TapKey(KEY_ESCAPE); }, StateInGameMenu, SameGame, None},
    {"QUIT", [] { ClickButton(StateInGameMenu, 3); }, StateInGameQuit, SameGame, None},
    {"NO", [] { ClickButton(StateInGameQuit, 2); }, StateInGameMenu, SameGame, None},
    {"QUIT and YES", [] { ClickButton(StateInGameMenu, 3); ClickButton(StateInGameQuit, 1); }, StateMainMenu, Menu, None},
    {"START, mode and size", [] { StartGameThroughMenus(ModeEasy, SizeSmall); }, StatePlaying, Game, None},
    {"game over", EndTheGame, StateGameOver, SameGame, None},
    {"RETRY", [] { ClickButton(StateGameOver, 1); }, StatePlaying, SameGame, None},
    {"game over again", EndTheGame, StateGameOver, SameGame, None},
    {"MENU", [] { ClickButton(StateGameOver, 2); }, StateMainMenu, Menu, None},
    {"another game", [] { StartGameThroughMenus(ModeNormal, SizeSmall); }, StatePlaying, Game, None},
    {"its game over", EndTheGame, StateGameOver, SameGame, None},
    {"Escape on game over", [] { TapKey(KEY_ESCAPE); }, StateMainMenu, Menu, None},
    // M flips the music: off where it was on, and the game track (not the menu
    // track) where it was off.
    {"M in the in-game menu",
     [] { StartGameThroughMenus(ModeEasy, SizeSmall); TapKey(KEY_ESCAPE); TapKey(KEY_M); },
     StateInGameMenu, None, Game},
    {"QUIT and YES after M", [] { ClickButton(StateInGameMenu, 3); ClickButton(StateInGameQuit, 1); },
     StateMainMenu, None, Menu},
};

void WalkTheRoad(bool musicOn) {
    HarnessOptions options;
    options.music = musicOn ? 1 : 0;
    options.sounds = musicOn ? 1 : 0;
    StartAtMainMenu(options);
    std::set<int> musicChannels;
    for (const Step& step : Road) {
        SCOPED_TRACE(std::string(step.name) + (musicOn ? ", music on" : ", music off"));
        const int channelBefore = Audio.MusicChannel;
        step.act();
        ASSERT_FALSE(testing::Test::HasFatalFailure());
        ASSERT_EQ(App.ScreenState, step.state);
        const Expect expect = musicOn ? step.musicOn : step.musicOff;
        if (expect == None) {
            EXPECT_NE(TrackStatus(SndMenuTrack), SOUND_PLAYING);
            EXPECT_NE(TrackStatus(SndGameTrack), SOUND_PLAYING);
        } else {
            const int track = expect == Menu ? SndMenuTrack : SndGameTrack;
            EXPECT_EQ(TrackStatus(track), SOUND_PLAYING);
            if (expect == SameGame) {
                EXPECT_EQ(Audio.MusicChannel, channelBefore) << "the game track goes on";
            }
        }
        // At most one track plays: every channel music ever had but the last is quiet.
        musicChannels.insert(Audio.MusicChannel);
        for (int channel : musicChannels) {
            if (channel == Audio.MusicChannel) continue;
            EXPECT_NE(SoundStatus(SndMenuTrack, channel), SOUND_PLAYING) << "channel " << channel;
            EXPECT_NE(SoundStatus(SndGameTrack, channel), SOUND_PLAYING) << "channel " << channel;
        }
        // With music and sounds off nothing at all is heard: no track, no click, no
        // placing, clearing or game-over sound.
        const bool heard = SoundHeardSinceLastAsked();
        if (!musicOn && expect == None) {
            EXPECT_FALSE(heard);
        } else if (expect != None) {
            EXPECT_TRUE(heard);
        }
    }
}

TEST_F(MusicRoad, TracksFollowEveryTransitionWithMusicOn) { WalkTheRoad(true); }

TEST_F(MusicRoad, NothingIsHeardWithMusicAndSoundsOff) { WalkTheRoad(false); }

// A full screen sends no restore event: the track the inactive screen paused
// comes back by itself once the screen is shown again.
TEST_F(MusicRoad, AFullScreenTakenAwayPausesItsTrackUntilItIsBack) {
    for (int track : {SndMenuTrack, SndGameTrack}) {
        SCOPED_TRACE(track == SndMenuTrack ? "menus" : "in a game");
        HarnessOptions options;
        options.gameScreen = ScreenFullscreen;
        StartAtMainMenu(options);
        if (track == SndGameTrack) StartGameThroughMenus(ModeEasy, SizeSmall);
        PfInjectWindowEvent(WEV_DEACTIVATED);
        RunFrames(3);
        EXPECT_EQ(TrackStatus(track), SOUND_PAUSED);
        MixFrames(3 * 44100);  // the click that started the game dies away; the track stays paused
        EXPECT_TRUE(AllSilent(MixFrames(4410)));
        PfInjectWindowEvent(WEV_ACTIVATED);
        RunFrames(1);
        EXPECT_EQ(TrackStatus(track), SOUND_PLAYING);
    }
}

}  // namespace
