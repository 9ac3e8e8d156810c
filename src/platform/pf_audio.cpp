// pf_audio.cpp: the sound mixer: sounds, playback channels and the one SDL audio device.
//
// All playback state lives in one struct. SDL runs the device callback on its own
// thread, so every call from the game takes the device lock while the device is
// open. Without a usable device the mixer still runs: the headless backend is
// stepped by PfMixSound, the system backend advances by elapsed wall time on each
// sound call, so that sounds end and statuses change as they would with a device.
//
// Loading a sound only checks it and keeps its compressed bytes. A short one is
// decoded whole when it is first played; a longer one (the music) is streamed:
// each channel playing it decodes its own stream a little ahead of the mix, on
// whichever thread mixes.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "pf_audio_decode.h"
#include "pf_internal.h"
#include "platform.h"

namespace {

constexpr int ChannelSlots = 64;
constexpr int AnySoundBase = 0x10000;  // handles given out for PF_ANY start here
constexpr int DeviceBufferFrames = 1024;
// Sounds longer than this are streamed: 3 s decoded is about half a megabyte.
constexpr int64_t MaxWholeFrames = 3 * PfMixRate;
// How often a lost device is tried again. A sound server that restarts brings
// its default device back without announcing it as added.
constexpr int DefaultRetryMs = 3000;

struct PfSoundClip {
    std::vector<int16_t> pcm;  // interleaved stereo at PfMixRate, once a short sound is decoded
    std::shared_ptr<const std::vector<uint8_t>> compressed;  // the file, until decoded whole
    int64_t frames = 0;
    bool streamed = false;
};

struct PfChannel {
    int id = 0;  // the channel number handed to the game; 0 = slot unused
    int sound = 0;
    int flags = 0;
    int volume = 100;
    int status = SOUND_STOPPED;
    int64_t position = 0;  // next frame to mix
    PfOggStreamPtr stream;  // a streamed sound's decoder, opened on the first mix
};

struct PfAudioState {
    std::map<int, PfSoundClip> sounds;
    PfChannel channels[ChannelSlots];
    int nextChannelId = 1;
    int nextAnySound = AnySoundBase;
    int initialised = 0;
    int ownsSdlAudio = 0;  // SDL's audio subsystem was started here
    SDL_AudioDeviceID device = 0;
    // Wall-time stepping without a device (system backend only).
    int wallClock = 0;
    std::chrono::steady_clock::time_point wallStart;
    int64_t wallFramesDone = 0;
    std::vector<int32_t> accumulator;
    std::vector<int16_t> streamed;  // one piece of a stream, decoded for mixing
    // Without a device but with SDL's audio up: when to try the device again.
    std::chrono::steady_clock::time_point nextRetry;
    int retryMs = DefaultRetryMs;
};

PfAudioState PfAudio;

// Holds the device lock for the duration of one call from the game.
struct AudioLock {
    SDL_AudioDeviceID device;
    AudioLock() : device(PfAudio.device) {
        if (device) {
            SDL_LockAudioDevice(device);
        }
    }
    ~AudioLock() {
        if (device) {
            SDL_UnlockAudioDevice(device);
        }
    }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
};

void ReleaseChannel(PfChannel& channel) {
    channel = PfChannel{};
}

// The next `frames` frames of a channel's sound from its position: straight from
// the decoded sound, or decoded from its stream into the mixer's piece buffer.
// Fewer frames than asked when the stream is damaged or cut short.
int64_t ChannelFrames(PfChannel& channel, const PfSoundClip& clip, int64_t frames, const int16_t*& samples) {
    if (!clip.streamed) {
        samples = clip.pcm.data() + channel.position * 2;
        return frames;
    }
    if (!channel.stream) {
        channel.stream = PfOpenOggStream(clip.compressed);
        if (!channel.stream) {
            return 0;
        }
    }
    std::vector<int16_t>& piece = PfAudio.streamed;
    piece.resize(size_t(frames) * 2);
    samples = piece.data();
    return PfReadOggStream(*channel.stream, channel.position, piece.data(), int(frames));
}

// Moves every playing channel on by `frames`, mixing into `mix` (stereo int32)
// when it is given. Non-looping sounds that reach their end stop by themselves,
// and so does a stream that turns out damaged, quietly, after what it gave.
void MixChannels(int32_t* mix, int64_t frames) {
    for (PfChannel& channel : PfAudio.channels) {
        if (channel.id == 0 || channel.status != SOUND_PLAYING) {
            continue;
        }
        auto found = PfAudio.sounds.find(channel.sound);
        if (found == PfAudio.sounds.end() || found->second.frames == 0) {
            ReleaseChannel(channel);
            continue;
        }
        const PfSoundClip& clip = found->second;
        bool looping = (channel.flags & SOUND_LOOP) != 0;
        if (!mix) {
            // Nothing to hear: only the position matters (a stream seeks to it later).
            int64_t end = channel.position + frames;
            if (looping) {
                channel.position = end % clip.frames;
            } else if (end >= clip.frames) {
                ReleaseChannel(channel);
            } else {
                channel.position = end;
            }
            continue;
        }
        int64_t done = 0;
        while (done < frames) {
            // Streams are decoded in pieces of at most a device buffer.
            int64_t run = std::min(frames - done, clip.frames - channel.position);
            if (clip.streamed) {
                run = std::min<int64_t>(run, DeviceBufferFrames);
            }
            const int16_t* source = nullptr;
            int64_t got = ChannelFrames(channel, clip, run, source);
            if (channel.volume > 0) {
                int32_t* target = mix + done * 2;
                for (int64_t i = 0; i < got * 2; i++) {
                    target[i] += int32_t(source[i]) * channel.volume / 100;
                }
            }
            if (got < run) {
                ReleaseChannel(channel);
                break;
            }
            done += run;
            channel.position += run;
            if (channel.position >= clip.frames) {
                if (!looping) {
                    ReleaseChannel(channel);
                    break;
                }
                channel.position = 0;
            }
        }
    }
}

// The mixer proper, called with the lock held (or from the callback).
void MixInto(int16_t* out, int frames) {
    if (frames <= 0) {
        return;
    }
    std::vector<int32_t>& mix = PfAudio.accumulator;
    mix.assign(size_t(frames) * 2, 0);
    MixChannels(mix.data(), frames);
    for (size_t i = 0; i < mix.size(); i++) {
        // Saturate: wrapping round would turn a loud peak into a loud click.
        out[i] = int16_t(std::clamp<int32_t>(mix[i], -32768, 32767));
    }
}

void DeviceCallback(void*, Uint8* stream, int length) {
    MixInto(reinterpret_cast<int16_t*>(stream), length / int(2 * sizeof(int16_t)));
}

// Without a device on the system backend, playback follows the clock.
void AdvanceByWallTime() {
    if (!PfAudio.wallClock) {
        return;
    }
    auto elapsed = std::chrono::steady_clock::now() - PfAudio.wallStart;
    int64_t micro = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
    int64_t due = micro * PfMixRate / 1000000;
    if (due > PfAudio.wallFramesDone) {
        MixChannels(nullptr, due - PfAudio.wallFramesDone);
        PfAudio.wallFramesDone = due;
    }
}

// Every game-side call starts here: lazy set-up and the wall-clock step.
void PrepareCall() {
    if (!PfAudio.initialised) {
        PfAudio.initialised = 1;
        PfAudio.nextChannelId = 1;
    }
    AdvanceByWallTime();
}

int ResolveSoundNumber(int number) {
    if (number != PF_ANY) {
        return number;
    }
    while (PfAudio.sounds.count(PfAudio.nextAnySound)) {
        PfAudio.nextAnySound++;
    }
    return PfAudio.nextAnySound++;
}

void StopChannelsOf(int number) {
    for (PfChannel& channel : PfAudio.channels) {
        if (channel.id != 0 && channel.sound == number) {
            ReleaseChannel(channel);
        }
    }
}

// The channel the call addresses: one play of `number`, or null when the
// channel has ended or belongs to another sound.
PfChannel* FindChannel(int number, int channelId) {
    for (PfChannel& channel : PfAudio.channels) {
        if (channel.id != 0 && channel.id == channelId && channel.sound == number) {
            return &channel;
        }
    }
    return nullptr;
}

// Applies `action` to the addressed channel, or to every channel of the sound
// when `channelId` is negative (-1, "all"). Channel 0 is what a failed play
// returns, so it addresses nothing.
template <typename Action>
void ForChannels(int number, int channelId, Action action) {
    if (channelId == 0) {
        return;
    }
    if (channelId > 0) {
        if (PfChannel* channel = FindChannel(number, channelId)) {
            action(*channel);
        }
        return;
    }
    for (PfChannel& channel : PfAudio.channels) {
        if (channel.id != 0 && channel.sound == number) {
            action(channel);
        }
    }
}

int TakeChannelId() {
    int id = PfAudio.nextChannelId;
    PfAudio.nextChannelId = PfAudio.nextChannelId == std::numeric_limits<int>::max() ? 1 : id + 1;
    return id;
}

bool DriverIsDummy() {
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver && std::strcmp(driver, "dummy") == 0;
}

// Tries the system's sound device. The dummy driver plays into nothing on a
// thread of its own, which only makes playback less predictable than the
// wall clock, so it counts as no device.
void OpenDevice() {
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return;
        }
        PfAudio.ownsSdlAudio = 1;
    }
    if (DriverIsDummy()) {
        return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = PfMixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = DeviceBufferFrames;
    wanted.callback = DeviceCallback;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts whatever the hardware wants.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        return;
    }
    PfAudio.device = device;
    SDL_PauseAudioDevice(device, 0);
}

// Playback without a device moves on with the time that passes from now, and
// the device is tried again a while from now.
void FollowTheClock() {
    PfAudio.wallClock = 1;
    PfAudio.wallStart = std::chrono::steady_clock::now();
    PfAudio.wallFramesDone = 0;
    PfAudio.nextRetry = PfAudio.wallStart + std::chrono::milliseconds(PfAudio.retryMs);
}

void CloseDevice() {
    if (PfAudio.device) {
        SDL_CloseAudioDevice(PfAudio.device);
        PfAudio.device = 0;
    }
    if (PfAudio.ownsSdlAudio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        PfAudio.ownsSdlAudio = 0;
    }
}

}  // namespace

int InitSound() {
    if (PfAudio.device || PfAudio.wallClock) {
        return 1;  // already running
    }
    PrepareCall();
    if (!PfIsHeadless()) {
        OpenDevice();
        if (!PfAudio.device) {
            // SDL's audio stays up to report a device plugged in later, unless
            // its driver is the dummy one, which never has any.
            if (DriverIsDummy()) {
                CloseDevice();
            }
            FollowTheClock();
        }
    }
    return 1;
}

void PfAudioDeviceRemoved(uint32_t device) {
    if (!PfAudio.device || device != PfAudio.device) {
        return;  // not the device the game plays on
    }
    // Closing waits for the callback to finish; from here on nothing mixes but the clock.
    SDL_CloseAudioDevice(PfAudio.device);
    PfAudio.device = 0;
    FollowTheClock();
}

void PfAudioDeviceAdded() {
    if (PfAudio.device || !PfAudio.wallClock || SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        return;  // playing already, the headless mixer, or no sound at all
    }
    // Everything heard up to now was on the clock; the device carries on from there.
    AdvanceByWallTime();
    PfAudio.wallClock = 0;
    OpenDevice();
    if (!PfAudio.device) {
        FollowTheClock();  // it could not be opened: silent until the next one comes
    }
}

void PfRetryLostSoundDevice() {
    if (PfAudio.device || !PfAudio.wallClock || SDL_WasInit(SDL_INIT_AUDIO) == 0 ||
        std::chrono::steady_clock::now() < PfAudio.nextRetry) {
        return;  // playing, headless, without sound at all, or tried a moment ago
    }
    PfAudioDeviceAdded();
}

int PfSoundDeviceOpen() {
    return int(PfAudio.device);
}

void PfSetSoundRetryInterval(int milliseconds) {
    PfAudio.retryMs = std::max(milliseconds, 0);
    PfAudio.nextRetry = std::chrono::steady_clock::now() + std::chrono::milliseconds(PfAudio.retryMs);
}

void PfMixSound(int16_t* out, int frames) {
    if (!out || frames <= 0) {
        return;
    }
    AudioLock lock;
    PrepareCall();
    MixInto(out, frames);
}

int LoadSoundBytes(int number, const void* data, size_t size) {
    if (number < 0 && number != PF_ANY) {
        return 0;
    }
    // Checking can take a moment: done before taking the lock.
    int64_t frames = 0;
    std::shared_ptr<const std::vector<uint8_t>> compressed;
    if (PfProbeOggVorbis(data, size, frames)) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        compressed = std::make_shared<const std::vector<uint8_t>>(bytes, bytes + size);
    }
    AudioLock lock;
    PrepareCall();
    if (number != PF_ANY) {
        StopChannelsOf(number);
        PfAudio.sounds.erase(number);
    }
    if (!compressed) {
        return 0;
    }
    int slot = ResolveSoundNumber(number);
    PfSoundClip& clip = PfAudio.sounds[slot];
    clip.frames = frames;
    clip.compressed = std::move(compressed);
    clip.streamed = frames > MaxWholeFrames;
    return number == PF_ANY ? slot : 1;
}

void FreeSound(int number) {
    AudioLock lock;
    PrepareCall();
    StopChannelsOf(number);
    PfAudio.sounds.erase(number);
}

int IsSound(int number) {
    AudioLock lock;
    return PfAudio.sounds.count(number) ? 1 : 0;
}

namespace {

// A short sound is decoded whole on its first play, outside the lock. One that
// turns out undecodable is left without frames and plays nothing.
void DecodeOnFirstPlay(int number) {
    std::shared_ptr<const std::vector<uint8_t>> bytes;
    {
        AudioLock lock;
        auto found = PfAudio.sounds.find(number);
        if (found == PfAudio.sounds.end() || found->second.streamed || !found->second.compressed) {
            return;
        }
        bytes = found->second.compressed;
    }
    std::vector<int16_t> pcm;
    bool decoded = PfDecodeOggVorbis(bytes->data(), bytes->size(), pcm);
    AudioLock lock;
    auto found = PfAudio.sounds.find(number);
    if (found == PfAudio.sounds.end() || found->second.compressed != bytes) {
        return;  // freed or replaced meanwhile
    }
    PfSoundClip& clip = found->second;
    clip.frames = decoded ? int64_t(pcm.size() / 2) : 0;
    clip.pcm = std::move(pcm);
    clip.compressed.reset();
}

}  // namespace

int PlaySoundClip(int number, int flags, int volume) {
    DecodeOnFirstPlay(number);
    AudioLock lock;
    PrepareCall();
    auto found = PfAudio.sounds.find(number);
    if (found == PfAudio.sounds.end() || found->second.frames == 0) {
        return 0;
    }
    volume = std::clamp(volume, 0, 100);
    // A sound that may not overlap itself starts again on the channel it has.
    if (!(flags & SOUND_MULTIPLE)) {
        for (PfChannel& channel : PfAudio.channels) {
            if (channel.id != 0 && channel.sound == number) {
                channel.flags = flags;
                channel.volume = volume;
                channel.status = SOUND_PLAYING;
                channel.position = 0;
                return channel.id;
            }
        }
    }
    for (PfChannel& channel : PfAudio.channels) {
        if (channel.id == 0) {
            channel.id = TakeChannelId();
            channel.sound = number;
            channel.flags = flags;
            channel.volume = volume;
            channel.status = SOUND_PLAYING;
            channel.position = 0;
            return channel.id;
        }
    }
    return 0;  // every channel is busy
}

void SetSoundVolume(int number, int volume, int channel) {
    AudioLock lock;
    PrepareCall();
    int clamped = std::clamp(volume, 0, 100);
    ForChannels(number, channel, [clamped](PfChannel& c) { c.volume = clamped; });
}

int SoundStatus(int number, int channel) {
    AudioLock lock;
    PrepareCall();
    int status = SOUND_STOPPED;
    // For all channels of a sound: playing wins over paused.
    ForChannels(number, channel, [&status](PfChannel& c) {
        if (c.status == SOUND_PLAYING || status == SOUND_STOPPED) {
            status = c.status;
        }
    });
    return status;
}

void PauseSoundClip(int number, int channel) {
    AudioLock lock;
    PrepareCall();
    ForChannels(number, channel, [](PfChannel& c) {
        if (c.status == SOUND_PLAYING) {
            c.status = SOUND_PAUSED;
        }
    });
}

void ResumeSoundClip(int number, int channel) {
    AudioLock lock;
    PrepareCall();
    ForChannels(number, channel, [](PfChannel& c) {
        if (c.status == SOUND_PAUSED) {
            c.status = SOUND_PLAYING;
        }
    });
}

void StopSoundClip(int number, int channel) {
    AudioLock lock;
    PrepareCall();
    ForChannels(number, channel, [](PfChannel& c) { ReleaseChannel(c); });
}

void PfAudioShutdown() {
    CloseDevice();  // the callback cannot run any more after this
    PfAudio.sounds.clear();
    for (PfChannel& channel : PfAudio.channels) {
        ReleaseChannel(channel);
    }
    PfAudio.accumulator.clear();
    PfAudio.accumulator.shrink_to_fit();
    PfAudio.streamed.clear();
    PfAudio.streamed.shrink_to_fit();
    PfAudio.nextChannelId = 1;
    PfAudio.nextAnySound = AnySoundBase;
    PfAudio.wallClock = 0;
    PfAudio.wallFramesDone = 0;
    PfAudio.initialised = 0;
    PfAudio.retryMs = DefaultRetryMs;
}
