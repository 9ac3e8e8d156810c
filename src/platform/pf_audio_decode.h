// pf_audio_decode.h: turning OGG Vorbis bytes into the mixer's PCM, whole or streamed (shared by the pf_audio files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The one format the mixer plays: interleaved stereo, signed 16-bit, this rate.
constexpr int PfMixRate = 44100;

// Decodes a whole OGG Vorbis file held in memory into interleaved stereo 16-bit
// frames at PfMixRate (mono is doubled, other rates are resampled linearly).
// False, with pcm left empty, when the data is damaged, cut short or not Vorbis.
bool PfDecodeOggVorbis(const void* data, size_t size, std::vector<int16_t>& pcm);

// Checks an OGG Vorbis file without decoding its audio: complete pages with good
// checksums and a Vorbis stream the mixer can play. `frames` is its length at
// PfMixRate, exactly as many frames as PfDecodeOggVorbis would give.
bool PfProbeOggVorbis(const void* data, size_t size, int64_t& frames);

// Linear resampling of interleaved stereo frames from one rate to another.
std::vector<int16_t> PfResampleStereo(const std::vector<int16_t>& source, int fromRate, int toRate);

// A file decoded a little at a time as it plays, from its compressed bytes
// (shared, never copied). It holds only the few thousand frames around the
// position last read.
struct PfOggStream;
struct PfOggStreamCloser {
    void operator()(PfOggStream* stream) const;
};
using PfOggStreamPtr = std::unique_ptr<PfOggStream, PfOggStreamCloser>;

// Null when the bytes cannot be opened as a playable Vorbis stream.
PfOggStreamPtr PfOpenOggStream(std::shared_ptr<const std::vector<uint8_t>> bytes);
// Writes the stereo frames from `position` (at PfMixRate) on into out: the same
// samples PfDecodeOggVorbis gives for those frames. Any position may be asked
// for; reading on from where the last read ended costs no seek. Returns the
// frames written, fewer than asked only where the stream is damaged or ends
// before its stated length (it then stays failed).
int PfReadOggStream(PfOggStream& stream, int64_t position, int16_t* out, int frames);
