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
