// pf_audio_decode.cpp: decodes OGG Vorbis files held in memory into the mixer's stereo PCM.
#include "pf_audio_decode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace {

// Nothing longer than this is decoded: a damaged or hostile file must not be able
// to make the game allocate without bound.
constexpr int64_t MaxSoundSeconds = 15 * 60;
constexpr int64_t MinSourceRate = 1000;
constexpr int64_t MaxSourceRate = 384000;

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t position;  // always <= size
};

size_t MemoryRead(void* destination, size_t itemSize, size_t itemCount, void* source) {
    MemorySource* memory = static_cast<MemorySource*>(source);
    if (itemSize == 0 || itemCount == 0) {
        return 0;
    }
    size_t available = memory->size - memory->position;
    size_t items = std::min(itemCount, available / itemSize);
    if (items > 0) {
        std::memcpy(destination, memory->data + memory->position, items * itemSize);
        memory->position += items * itemSize;
    }
    return items;
}

int MemorySeek(void* source, ogg_int64_t offset, int whence) {
    MemorySource* memory = static_cast<MemorySource*>(source);
    int64_t base;
    switch (whence) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = int64_t(memory->position); break;
        case SEEK_END: base = int64_t(memory->size); break;
        default: return -1;
    }
    // Refuse anything that would overflow or leave the buffer.
    if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) {
        return -1;
    }
    int64_t target = base + offset;
    if (target < 0 || uint64_t(target) > uint64_t(memory->size)) {
        return -1;
    }
    memory->position = size_t(target);
    return 0;
}

long MemoryTell(void* source) {
    return long(static_cast<MemorySource*>(source)->position);
}

// The Ogg page checksum: CRC-32, polynomial 0x04C11DB7, not reflected, start 0,
// computed with the page's own checksum field taken as zero.
std::array<uint32_t, 256> MakeChecksumTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t r = i << 24;
        for (int bit = 0; bit < 8; bit++) {
            r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        }
        table[i] = r;
    }
    return table;
}

uint32_t OggPageChecksum(const uint8_t* page, size_t size) {
    static const std::array<uint32_t, 256> table = MakeChecksumTable();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; i++) {
        uint8_t byte = (i >= 22 && i < 26) ? 0 : page[i];
        crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc;
}

// Walks the Ogg pages by their headers and checksums. vorbisfile skips damaged
// pages and stops quietly where a file was cut short, playing whatever is left;
// here a damaged page, a file ending inside a page, or one without any
// end-of-stream page is refused instead. Bytes after the last end-of-stream
// page that are not a page are tolerated (tags, padding).
bool OggPagesComplete(const uint8_t* data, size_t size) {
    static const char Capture[4] = {'O', 'g', 'g', 'S'};
    bool sawEndOfStream = false;
    size_t at = 0;
    while (at < size) {
        size_t left = size - at;
        bool looksLikePage = std::memcmp(data + at, Capture, std::min<size_t>(left, 4)) == 0;
        if (!looksLikePage) {
            return sawEndOfStream;
        }
        if (left < 27) {
            return false;
        }
        size_t segments = data[at + 26];
        if (left < 27 + segments) {
            return false;
        }
        size_t body = 0;
        for (size_t i = 0; i < segments; i++) {
            body += data[at + 27 + i];
        }
        size_t pageSize = 27 + segments + body;
        if (left < pageSize) {
            return false;
        }
        uint32_t stored = uint32_t(data[at + 22]) | uint32_t(data[at + 23]) << 8 |
                          uint32_t(data[at + 24]) << 16 | uint32_t(data[at + 25]) << 24;
        if (OggPageChecksum(data + at, pageSize) != stored) {
            return false;
        }
        if (data[at + 5] & 4) {
            sawEndOfStream = true;
        }
        at += pageSize;
    }
    return sawEndOfStream;
}

int16_t FloatToSample(float value) {
    if (std::isnan(value)) {
        return 0;  // from a damaged packet
    }
    float scaled = std::round(value * 32767.0f);
    scaled = std::clamp(scaled, -32768.0f, 32767.0f);
    return int16_t(scaled);
}

// Which decoded channels become left and right. Vorbis orders three or more
// channels front-left, centre, front-right, ... except four (FL, FR, RL, RR).
void StereoPairOf(int channels, int& left, int& right) {
    left = 0;
    if (channels == 1) {
        right = 0;
    } else if (channels == 2 || channels == 4) {
        right = 1;
    } else {
        right = 2;
    }
}

bool DecodeOpenFile(OggVorbis_File& file, std::vector<int16_t>& stereo, int& rate) {
    rate = 0;
    for (;;) {
        float** channelData = nullptr;
        int link = 0;
        long frames = ov_read_float(&file, &channelData, 4096, &link);
        if (frames == 0) {
            return true;
        }
        if (frames < 0) {
            return false;  // a hole or a bad link: the data is damaged
        }
        vorbis_info* info = ov_info(&file, link);
        if (!info || info->channels < 1 || info->rate < MinSourceRate || info->rate > MaxSourceRate) {
            return false;
        }
        // A chained file whose parts differ in rate is not worth resampling piecewise.
        if (rate != 0 && info->rate != rate) {
            return false;
        }
        rate = int(info->rate);
        int64_t limit = MaxSoundSeconds * rate;
        if (int64_t(stereo.size() / 2) + frames > limit) {
            return false;
        }
        int left = 0;
        int right = 0;
        StereoPairOf(info->channels, left, right);
        for (long i = 0; i < frames; i++) {
            stereo.push_back(FloatToSample(channelData[left][i]));
            stereo.push_back(FloatToSample(channelData[right][i]));
        }
    }
}

}  // namespace

std::vector<int16_t> PfResampleStereo(const std::vector<int16_t>& source, int fromRate, int toRate) {
    size_t sourceFrames = source.size() / 2;
    if (fromRate == toRate || sourceFrames == 0 || fromRate <= 0 || toRate <= 0) {
        return source;
    }
    int64_t targetFrames = std::max<int64_t>(1, int64_t(sourceFrames) * toRate / fromRate);
    std::vector<int16_t> target(size_t(targetFrames) * 2);
    for (int64_t i = 0; i < targetFrames; i++) {
        // Position in the source as whole frames plus a fraction over toRate.
        int64_t scaled = i * fromRate;
        int64_t index = scaled / toRate;
        int64_t fraction = scaled % toRate;
        size_t first = size_t(std::min<int64_t>(index, int64_t(sourceFrames) - 1));
        size_t second = std::min(first + 1, sourceFrames - 1);
        for (int side = 0; side < 2; side++) {
            int64_t a = source[first * 2 + side];
            int64_t b = source[second * 2 + side];
            target[size_t(i) * 2 + side] = int16_t(a + (b - a) * fraction / toRate);
        }
    }
    return target;
}

bool PfDecodeOggVorbis(const void* data, size_t size, std::vector<int16_t>& pcm) {
    pcm.clear();
    if (!data || size == 0 || size > size_t(std::numeric_limits<long>::max())) {
        return false;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!OggPagesComplete(bytes, size)) {
        return false;
    }
    MemorySource source{bytes, size, 0};
    ov_callbacks callbacks{};
    callbacks.read_func = MemoryRead;
    callbacks.seek_func = MemorySeek;
    callbacks.close_func = nullptr;
    callbacks.tell_func = MemoryTell;

    OggVorbis_File file;
    // On failure vorbisfile has already released what it allocated.
    if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) != 0) {
        return false;
    }
    std::vector<int16_t> stereo;
    int rate = 0;
    bool decoded = DecodeOpenFile(file, stereo, rate);
    ov_clear(&file);
    if (!decoded) {
        return false;
    }
    pcm = rate == PfMixRate || stereo.empty() ? std::move(stereo) : PfResampleStereo(stereo, rate, PfMixRate);
    return true;
}
