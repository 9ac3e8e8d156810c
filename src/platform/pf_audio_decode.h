// pf_audio_decode.h: turning OGG Vorbis bytes into the mixer's PCM (shared by the pf_audio files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The one format the mixer plays: interleaved stereo, signed 16-bit, this rate.
constexpr int PfMixRate = 44100;

// Decodes a whole OGG Vorbis file held in memory into interleaved stereo 16-bit
// frames at PfMixRate (mono is doubled, other rates are resampled linearly).
// False, with pcm left empty, when the data is damaged, cut short or not Vorbis.
bool PfDecodeOggVorbis(const void* data, size_t size, std::vector<int16_t>& pcm);

// Linear resampling of interleaved stereo frames from one rate to another.
std::vector<int16_t> PfResampleStereo(const std::vector<int16_t>& source, int fromRate, int toRate);
