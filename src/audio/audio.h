// audio.h: the two music tracks and the six sound effects, as the game uses them.
#pragma once

enum SoundNumber {
    SndMenuTrack = 0,
    SndGameTrack = 1,
    SndRefused = 2,
    SndPlaced = 3,
    SndLinesCleared = 4,
    SndGameOver = 5,
    SndClick = 6,
    SndNewBest = 7
};

struct AudioState {
    int MusicChannel = 0;
};
extern AudioState Audio;

void PlayEffect(int number);
void StartTrack(int number);
void StopTrack(int number);
void PauseTrack(int number);
void ResumeTrack(int number);
void SetTrackVolume(int volume);
int TrackStatus(int number);

// The places that switch or touch the music, for the main loop and the screens.
// Each reads App.Settings and App.ScreenState and does what that moment calls for.

// Last start-up step: the menu track when music is on.
void StartMenuMusic();
// A game starts from the menus (board size chosen, or QUICKGAME): menu track
// off, game track on when music is on.
void EnterGameMusic();
// Leaving a game for the main menu (MENU or Escape on the game-over panel):
// game track off, menu track on when music is on.
void LeaveGameMusic();
// The same from YES on the in-game quit question, where both steps happen only
// when music is on.
void LeaveGameMusicAfterQuitQuestion();
// Settings OK turning the music off: both tracks stop where they play.
void StopPlayingTracks();
// Key M (ignored on the settings screen): music off and its track stopped, or
// music on and the track of the current screen started.
void ToggleMusicKey();
// Key N (ignored on the settings screen): effects on or off; playing ones go on.
void ToggleSoundsKey();
// Keypad + / - held: one step of the volume within 0..100, applied to the music.
void ChangeVolumeKey(int delta);
// Inactive-screen step: pause the track of the current screen if it is playing;
// 1 when a track was paused by this call.
int PauseMusicForInactive();
// Window minimised (Windowed) or deactivated (Borderless): pause each playing track.
void PausePlayingTracks();
// Window restored or activated, or a full screen that is active again: resume
// each paused track.
void ResumePausedMusic();
