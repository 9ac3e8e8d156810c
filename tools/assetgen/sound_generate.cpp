// sound_generate.cpp: renders, levels and encodes the two music tracks and six effects.
#include "assetgen.h"
#include "music_score.h"
#include "sound_effects.h"
#include "vorbis_codec.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

// Music sits well under the effects, so a clink is heard over a busy track.
constexpr double MusicRmsDecibels = -21.0;
constexpr double MusicPeakCeilingDecibels = -3.0;
// Effects are brought to this peak before encoding; the decoded file must stay
// at or under the limit, since lossy coding can lift peaks a little.
constexpr double EffectPeakDecibels = -1.5;
constexpr double DecodedPeakLimitDecibels = -1.2;
constexpr float MusicQuality = 0.35f;
constexpr float EffectQuality = 0.5f;

struct SoundJob {
    const char* name;
    Track (*render)();
    bool music;
};

const SoundJob Jobs[] = {
    {"music1.ogg", RenderMenuMusic, true},
    {"music2.ogg", RenderGameMusic, true},
    {"collect_item_hurry_out_of_time_01.ogg", RenderRefusedDrop, false},
    {"coin_ring_gemstone_item_02.ogg", RenderPiecePlaced, false},
    {"chime_bell_positive_ring_01.ogg", RenderLinesCleared, false},
    {"game_over_dark_bell_chime_01.ogg", RenderGameOver, false},
    {"ui_menu_popup_01.ogg", RenderMenuClick, false},
    {"points_ticker_bonus_score_reward_single_05.ogg", RenderNewBest, false},
};
constexpr size_t JobCount = sizeof(Jobs) / sizeof(Jobs[0]);

std::vector<uint8_t> MakeSound(size_t index) {
    const SoundJob& job = Jobs[index];
    Track track = job.render();
    if (job.music) {
        SetLoopLevel(track, MusicRmsDecibels, MusicPeakCeilingDecibels);
    } else {
        double peak = PeakOf(track);
        if (peak > 0) {
            ScaleTrack(track, FromDecibels(EffectPeakDecibels) / peak);
        }
    }
    float quality = job.music ? MusicQuality : EffectQuality;
    int serial = 0x50524900 + int(index);  // fixed, so every run writes the same bytes
    std::vector<uint8_t> bytes = EncodeVorbis(track, 2, quality, serial);
    // Lossy coding can overshoot the waveform it was given; if the decoded
    // sound passes the limit, turn it down by the overshoot and encode again.
    double limit = FromDecibels(DecodedPeakLimitDecibels);
    for (int attempt = 0; !bytes.empty(); ++attempt) {
        double peak = 0;
        if (!DecodedPeakOf(bytes, peak) || attempt == 4) {
            return {};  // an unreadable result, or one that will not settle, is no sound
        }
        if (peak <= limit) {
            break;
        }
        ScaleTrack(track, limit / peak * 0.98);
        bytes = EncodeVorbis(track, 2, quality, serial);
    }
    return bytes;
}

}  // namespace

std::vector<GeneratedFile> GenerateAudio() {
    std::vector<GeneratedFile> files(JobCount);
    std::atomic<size_t> next{0};
    // Each worker takes the next sound in the list; the heavy music tracks come
    // first so they start at once. Results land in their own slots, so the
    // order and the bytes never depend on which thread made them.
    auto work = [&] {
        for (size_t i = next++; i < JobCount; i = next++) {
            files[i].name = Jobs[i].name;
            files[i].bytes = MakeSound(i);
        }
    };
    unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }
    for (const GeneratedFile& file : files) {
        if (file.bytes.empty()) {
            return {};  // a sound that could not be made fails the whole set
        }
    }
    return files;
}
