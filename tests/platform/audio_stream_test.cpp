// audio_stream_test.cpp: long sounds played from their compressed bytes: exact samples, loop seam, pause, overlap, damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "pf_audio_decode.h"
#include "platform/audio_test_support.h"

namespace {

// Longer than the mixer decodes whole, so these are streamed. 400 Hz fills the
// 3.5 s with whole cycles: the waveform runs on smoothly across a loop point.
struct Track {
    std::vector<uint8_t> ogg;
    std::vector<int16_t> whole;  // the same file decoded whole, at the mixer's rate
    int frames() const { return int(whole.size() / 2); }
};

const Track& StereoTrack() {
    static const Track track = [] {
        Track t{MakeOggTone(44100, 2, 3.5, 400, 0.5), {}};
        PfDecodeOggVorbis(t.ogg.data(), t.ogg.size(), t.whole);
        return t;
    }();
    return track;
}

// Mono at another rate: decoded with resampling on the way.
const Track& ResampledTrack() {
    static const Track track = [] {
        Track t{MakeOggTone(22050, 1, 3.5, 400, 0.5), {}};
        PfDecodeOggVorbis(t.ogg.data(), t.ogg.size(), t.whole);
        return t;
    }();
    return track;
}

std::vector<int16_t> Slice(const std::vector<int16_t>& samples, int firstFrame, int frames) {
    return std::vector<int16_t>(samples.begin() + firstFrame * 2, samples.begin() + (firstFrame + frames) * 2);
}

// The Ogg page checksum (CRC-32, polynomial 0x04C11DB7, unreflected).
uint32_t PageChecksum(const uint8_t* page, size_t size) {
    uint32_t crc = 0;
    for (size_t i = 0; i < size; i++) {
        crc ^= uint32_t(i >= 22 && i < 26 ? 0 : page[i]) << 24;
        for (int bit = 0; bit < 8; bit++) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The file cut into its pages.
std::vector<std::vector<uint8_t>> Pages(const std::vector<uint8_t>& ogg) {
    std::vector<std::vector<uint8_t>> pages;
    for (size_t at = 0; at + 27 <= ogg.size();) {
        size_t segments = ogg[at + 26], size = 27 + segments;
        for (size_t i = 0; i < segments; i++) size += ogg[at + 27 + i];
        pages.emplace_back(ogg.begin() + long(at), ogg.begin() + long(at + size));
        at += size;
    }
    return pages;
}

std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& pages) {
    std::vector<uint8_t> ogg;
    for (const auto& page : pages) ogg.insert(ogg.end(), page.begin(), page.end());
    return ogg;
}

void Reseal(std::vector<uint8_t>& page) {
    uint32_t crc = PageChecksum(page.data(), page.size());
    for (int i = 0; i < 4; i++) page[size_t(22 + i)] = uint8_t(crc >> (8 * i));
}

class StreamedSound : public ::testing::Test {
protected:
    void SetUp() override {
        PfSelectBackend(PF_BACKEND_HEADLESS);
        ASSERT_EQ(InitSound(), 1);
        ASSERT_GT(StereoTrack().frames(), 3 * 44100) << "must be long enough to be streamed";
    }
    void TearDown() override { PfShutdown(); }

    static void Load(int number, const Track& track) {
        ASSERT_EQ(LoadSoundBytes(number, track.ogg.data(), track.ogg.size()), 1);
    }
};

// Played once, a streamed sound gives exactly the samples of the whole decode
// and ends on its last frame, resampled or not.
TEST_F(StreamedSound, PlaysTheSamplesOfTheWholeDecode) {
    for (const Track* track : {&StereoTrack(), &ResampledTrack()}) {
        Load(1, *track);
        int channel = PlaySoundClip(1, 0, 100);
        std::vector<int16_t> out = MixFrames(track->frames() - 1);
        EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
        std::vector<int16_t> last = MixFrames(1);
        out.insert(out.end(), last.begin(), last.end());
        EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
        EXPECT_TRUE(out == track->whole) << "frames " << track->frames();
    }
}

// Looping: the frames across the loop point are the end of the sound followed at
// once by its start, and the waveform steps no further there than anywhere else.
TEST_F(StreamedSound, LoopSeamContinuesTheWaveform) {
    const Track& track = StereoTrack();
    Load(1, track);
    const int n = track.frames();
    int channel = PlaySoundClip(1, SOUND_LOOP, 100);
    std::vector<int16_t> out = MixFrames(2 * n + 3000);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PLAYING);
    for (int seam : {n, 2 * n}) {
        std::vector<int16_t> expected = Slice(track.whole, n - 1000, 1000);
        std::vector<int16_t> start = Slice(track.whole, 0, 1000);
        expected.insert(expected.end(), start.begin(), start.end());
        EXPECT_TRUE(Slice(out, seam - 1000, 2000) == expected) << "seam at " << seam;
    }
    auto largestStep = [&](int from, int to) {
        int step = 0;
        for (int i = from; i < to; i++) step = std::max(step, std::abs(out[size_t(i + 1) * 2] - out[size_t(i) * 2]));
        return step;
    };
    EXPECT_LE(largestStep(n - 50, n + 50), largestStep(n / 2, n / 2 + 5000) * 3 / 2);
}

// Pause keeps the place, resume goes on from it, stop ends the play; a volume
// change and a second, overlapping play of the same track each act on their own
// channel.
TEST_F(StreamedSound, PauseResumeStopVolumeAndOverlap) {
    const Track& track = StereoTrack();
    Load(1, track);
    int channel = PlaySoundClip(1, 0, 100);
    std::vector<int16_t> out = MixFrames(30000);
    PauseSoundClip(1, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_PAUSED);
    EXPECT_TRUE(AllSilent(MixFrames(20000)));
    ResumeSoundClip(1, channel);
    std::vector<int16_t> rest = MixFrames(10000);
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_TRUE(out == Slice(track.whole, 0, 40000));

    // A second play at half volume from here on overlaps the first.
    int second = PlaySoundClip(1, SOUND_MULTIPLE, 50);
    ASSERT_NE(second, channel);
    std::vector<int16_t> both = MixFrames(5000);
    for (size_t i = 0; i < both.size(); i++) {
        int expected = track.whole[40000 * 2 + i] + track.whole[i] * 50 / 100;
        ASSERT_EQ(both[i], std::clamp(expected, -32768, 32767)) << "sample " << i;
    }
    StopSoundClip(1, channel);
    EXPECT_EQ(SoundStatus(1, channel), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(1, second), SOUND_PLAYING);
    SetSoundVolume(1, 100, second);
    EXPECT_TRUE(MixFrames(1000) == Slice(track.whole, 5000, 1000));
}

// A stream whose damage only shows while it plays ends its channel quietly after
// the frames it could give; a file cut short is refused when it is loaded.
TEST_F(StreamedSound, DamagedStreamEndsItsChannel) {
    const Track& track = StereoTrack();
    std::vector<std::vector<uint8_t>> pages = Pages(track.ogg);
    ASSERT_GE(pages.size(), 5u);  // two of headers, at least three of audio
    auto granuleOf = [](const std::vector<uint8_t>& page) {
        uint64_t granule = 0;
        for (int i = 0; i < 8; i++) granule |= uint64_t(page[size_t(6 + i)]) << (8 * i);
        return granule;
    };
    // A page of audio missing in the middle (every other page intact): the sound
    // ends where the page before it ends.
    std::vector<std::vector<uint8_t>> holed = pages;
    holed.erase(holed.end() - 2);
    const int holeAt = int(granuleOf(pages[pages.size() - 3]));
    // A last page stating a length one second longer than the audio: the sound
    // ends with its last block, no more than a long block's worth past its end.
    std::vector<std::vector<uint8_t>> overstated = pages;
    std::vector<uint8_t>& lastPage = overstated.back();
    const uint64_t granule = granuleOf(lastPage) + 44100;
    for (int i = 0; i < 8; i++) lastPage[size_t(6 + i)] = uint8_t(granule >> (8 * i));
    Reseal(lastPage);

    const struct {
        const char* name;
        std::vector<uint8_t> ogg;
        int endsBy;  // no sound from this frame on
    } cases[] = {{"page missing", Join(holed), holeAt}, {"length overstated", Join(overstated), track.frames() + 2048}};
    for (const auto& c : cases) {
        ASSERT_EQ(LoadSoundBytes(2, c.ogg.data(), c.ogg.size()), 1) << c.name;
        int channel = PlaySoundClip(2, SOUND_LOOP, 100);
        std::vector<int16_t> out = MixFrames(track.frames() + 44100);
        EXPECT_EQ(SoundStatus(2, channel), SOUND_STOPPED) << c.name;
        EXPECT_TRUE(Slice(out, 0, 2000) == Slice(track.whole, 0, 2000)) << c.name << ": plays up to the damage";
        EXPECT_TRUE(AllSilent(Slice(out, c.endsBy, int(out.size() / 2) - c.endsBy))) << c.name;
    }

    std::vector<uint8_t> cut(track.ogg.begin(), track.ogg.end() - 100);
    EXPECT_EQ(LoadSoundBytes(3, cut.data(), cut.size()), 0);
    EXPECT_EQ(IsSound(3), 0);

    // A short sound is decoded whole on its first play: with a page missing it
    // plays nothing at all.
    std::vector<std::vector<uint8_t>> shortPages = Pages(MakeOggTone(44100, 2, 1.0, 400, 0.5, true));
    ASSERT_GE(shortPages.size(), 10u);
    shortPages.erase(shortPages.begin() + long(shortPages.size() / 2));
    std::vector<uint8_t> shortHoled = Join(shortPages);
    ASSERT_EQ(LoadSoundBytes(4, shortHoled.data(), shortHoled.size()), 1);
    EXPECT_EQ(PlaySoundClip(4, 0, 100), 0);
    EXPECT_TRUE(AllSilent(MixFrames(1000)));
}

}  // namespace
