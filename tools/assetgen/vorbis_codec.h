// vorbis_codec.h: Ogg Vorbis encoding of synthesised tracks, and decoding to check them.
#pragma once

#include <cstdint>
#include <vector>

struct Track;

// Encodes a track as Ogg Vorbis at 44.1 kHz (VBR, quality -0.1..1). Two channels,
// or one (the average of both) when `channels` is 1. The stream's serial number
// is fixed by the caller, so the same track always yields the same bytes.
std::vector<uint8_t> EncodeVorbis(const Track& track, int channels, float quality, int serialNumber);

// A decoded Ogg Vorbis file: interleaved float samples.
struct DecodedSound {
    int channels = 0;
    long rate = 0;
    std::vector<float> samples;  // frames * channels values
};

// Decodes an Ogg Vorbis file held in memory; false when it is not one.
bool DecodeVorbis(const std::vector<uint8_t>& bytes, DecodedSound& sound);
// The largest absolute sample value of the decoded file, without keeping the
// samples; false when it is not an Ogg Vorbis file.
bool DecodedPeakOf(const std::vector<uint8_t>& bytes, double& peak);
