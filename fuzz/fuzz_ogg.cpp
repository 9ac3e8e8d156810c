// fuzz_ogg.cpp: fuzzes the OGG loader and the mixer: load from memory, play, mix, stop.
//
// Only the public platform interface is used, so the target does not care how
// the mixer holds a sound (decoded at once or while it plays). The input is
// handed over in a copy that is freed right after loading: the game frees its
// buffers as soon as a sound is loaded, so the layer must not keep pointing at them.
//
// Every Ogg page carries a CRC that almost every mutation breaks; each input is
// also tried with the page CRCs mended, so the fuzzer reaches the Vorbis decoder.
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "platform.h"

namespace {

constexpr int Slot = 1;
constexpr int MixFrames = 2048;

void ExerciseOgg(const uint8_t* data, size_t size) {
    {
        std::unique_ptr<uint8_t[]> copy(new uint8_t[std::max<size_t>(size, 1)]);
        std::copy(data, data + size, copy.get());
        if (!LoadSoundBytes(Slot, copy.get(), size)) {
            FUZZ_CHECK(!IsSound(Slot));
            return;
        }
    }
    static std::array<int16_t, MixFrames * 2> out;
    const int once = PlaySoundClip(Slot, 0, 100);
    if (once == 0) {
        // Pages whole but audio undecodable: it loads and plays nothing.
        FreeSound(Slot);
        FUZZ_CHECK(!IsSound(Slot));
        return;
    }
    for (int i = 0; i < 3; i++) PfMixSound(out.data(), MixFrames);
    const int looped = PlaySoundClip(Slot, SOUND_LOOP | SOUND_MULTIPLE, 40);
    FUZZ_CHECK(looped >= 1 && looped != once);
    FUZZ_CHECK(SoundStatus(Slot, looped) == SOUND_PLAYING);
    PauseSoundClip(Slot, looped);
    PfMixSound(out.data(), MixFrames);
    FUZZ_CHECK(SoundStatus(Slot, looped) == SOUND_PAUSED);
    ResumeSoundClip(Slot, looped);
    for (int i = 0; i < 3; i++) PfMixSound(out.data(), MixFrames);
    StopSoundClip(Slot, -1);
    FUZZ_CHECK(SoundStatus(Slot, -1) == SOUND_STOPPED);
    // Freed while playing: the mixer must let go of it.
    PlaySoundClip(Slot, SOUND_LOOP, 100);
    FreeSound(Slot);
    PfMixSound(out.data(), MixFrames);
    FUZZ_CHECK(!IsSound(Slot));
}

// The Ogg page checksum: CRC-32, polynomial 0x04C11DB7, not reflected, over
// the page with its own checksum field as zeros.
uint32_t PageCrc(const uint8_t* page, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t r = i << 24;
            for (int bit = 0; bit < 8; bit++) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; i++) {
        const uint8_t byte = (i >= 22 && i < 26) ? 0 : page[i];
        crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc;
}

// Rewrites the checksum of every whole page that starts where the last ended.
bool MendPageCrcs(std::vector<uint8_t>& ogg) {
    size_t at = 0;
    bool any = false;
    while (ogg.size() - at >= 27 && std::equal(ogg.begin() + at, ogg.begin() + at + 4, "OggS")) {
        const size_t segments = ogg[at + 26];
        if (ogg.size() - at < 27 + segments) break;
        size_t body = 0;
        for (size_t i = 0; i < segments; i++) body += ogg[at + 27 + i];
        const size_t pageSize = 27 + segments + body;
        if (ogg.size() - at < pageSize) break;
        FuzzPutLe(ogg.data() + at + 22, PageCrc(ogg.data() + at, pageSize));
        at += pageSize;
        any = true;
    }
    return any;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Whatever the layer holds is freed at the end, so a leak check sees only real leaks.
    std::atexit(PfShutdown);
    PfSelectBackend(PF_BACKEND_HEADLESS);
    FUZZ_CHECK(InitSound() == 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExerciseOgg(data, size);
    std::vector<uint8_t> mended(data, data + size);
    if (MendPageCrcs(mended) && !std::equal(mended.begin(), mended.end(), data)) {
        ExerciseOgg(mended.data(), mended.size());
    }
    return 0;
}
