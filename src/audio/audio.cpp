// audio.cpp: the two music tracks and the six effects: which plays when, toggles and volume.
//
// Every pause, resume, stop and volume change of a track goes to the channel the
// last started track got (MusicChannel). The platform checks that the channel
// still belongs to the sound named, so asking about track 0 on a channel now
// playing track 1 answers "stopped" and commands to it do nothing.
#include "audio/audio.h"

#include <algorithm>

#include "core/state.h"
#include "platform.h"

AudioState Audio;

namespace {

bool InGameState() { return App.ScreenState >= StatePlaying; }

// The track that belongs to the current screen state.
int TrackOfScreen() { return InGameState() ? SndGameTrack : SndMenuTrack; }

}  // namespace

void PlayEffect(int number) {
    if (App.Settings.Sounds != 1) {
        return;
    }
    // Effects may overlap each other and the music; the channel is not kept.
    PlaySoundClip(number, SOUND_MULTIPLE, App.Settings.MusicVolume);
}

void StartTrack(int number) {
    Audio.MusicChannel = PlaySoundClip(number, SOUND_LOOP, App.Settings.MusicVolume);
}

void StopTrack(int number) {
    StopSoundClip(number, Audio.MusicChannel);
}

void PauseTrack(int number) {
    if (TrackStatus(number) == SOUND_PLAYING) {
        PauseSoundClip(number, Audio.MusicChannel);
    }
}

void ResumeTrack(int number) {
    if (TrackStatus(number) == SOUND_PAUSED) {
        ResumeSoundClip(number, Audio.MusicChannel);
    }
}

void SetTrackVolume(int volume) {
    SetSoundVolume(SndGameTrack, volume, Audio.MusicChannel);
    SetSoundVolume(SndMenuTrack, volume, Audio.MusicChannel);
}

int TrackStatus(int number) {
    return SoundStatus(number, Audio.MusicChannel);
}

void StartMenuMusic() {
    if (App.Settings.Music == 1) {
        StartTrack(SndMenuTrack);
    }
}

void EnterGameMusic() {
    if (TrackStatus(SndMenuTrack) == SOUND_PLAYING) {
        StopTrack(SndMenuTrack);
    }
    if (App.Settings.Music == 1) {
        StartTrack(SndGameTrack);
    }
}

void LeaveGameMusic() {
    if (TrackStatus(SndGameTrack) == SOUND_PLAYING) {
        StopTrack(SndGameTrack);
    }
    if (App.Settings.Music == 1) {
        StartTrack(SndMenuTrack);
    }
}

void LeaveGameMusicAfterQuitQuestion() {
    if (App.Settings.Music == 1) {
        LeaveGameMusic();
    }
}

void StopPlayingTracks() {
    if (TrackStatus(SndMenuTrack) == SOUND_PLAYING) {
        StopTrack(SndMenuTrack);
    }
    if (TrackStatus(SndGameTrack) == SOUND_PLAYING) {
        StopTrack(SndGameTrack);
    }
}

void ToggleMusicKey() {
    if (App.ScreenState == StateSettings) {
        return;  // the settings screen has its own music row
    }
    if (App.Settings.Music == 1) {
        if (!InGameState()) {
            StopTrack(SndMenuTrack);
        } else if (TrackStatus(SndGameTrack) == SOUND_PLAYING) {
            StopTrack(SndGameTrack);
        }
        App.Settings.Music = 0;
    } else {
        StartTrack(TrackOfScreen());
        App.Settings.Music = 1;
    }
}

void ToggleSoundsKey() {
    if (App.ScreenState == StateSettings) {
        return;
    }
    App.Settings.Sounds = 1 - App.Settings.Sounds;
}

void ChangeVolumeKey(int delta) {
    int volume = std::clamp(App.Settings.MusicVolume + delta, 0, 100);
    if (volume == App.Settings.MusicVolume) {
        return;
    }
    App.Settings.MusicVolume = volume;
    SetTrackVolume(volume);
}

int PauseMusicForInactive() {
    int track = TrackOfScreen();
    if (TrackStatus(track) != SOUND_PLAYING) {
        return 0;
    }
    PauseTrack(track);
    return 1;
}

void PausePlayingTracks() {
    PauseTrack(SndMenuTrack);
    PauseTrack(SndGameTrack);
}

void ResumePausedMusic() {
    ResumeTrack(SndMenuTrack);
    ResumeTrack(SndGameTrack);
}
