// pf_audio_decode.cpp: decodes OGG Vorbis files held in memory into the mixer's stereo PCM, whole or a little at a time.
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
// computed with the page's own checksum field taken as zero. Four bytes a step
// (a table for each byte's place), as every byte of a track is checked on loading.
using ChecksumTables = std::array<std::array<uint32_t, 256>, 4>;

ChecksumTables MakeChecksumTables() {
    ChecksumTables tables{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t r = i << 24;
        for (int bit = 0; bit < 8; bit++) {
            r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        }
        tables[0][i] = r;
    }
    for (size_t t = 1; t < 4; t++) {
        for (uint32_t i = 0; i < 256; i++) {
            tables[t][i] = (tables[t - 1][i] << 8) ^ tables[0][tables[t - 1][i] >> 24];
        }
    }
    return tables;
}

uint32_t ChecksumUpdate(uint32_t crc, const uint8_t* bytes, size_t size) {
    static const ChecksumTables t = MakeChecksumTables();
    for (; size >= 4; bytes += 4, size -= 4) {
        crc ^= uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
        crc = t[3][crc >> 24] ^ t[2][(crc >> 16) & 0xFF] ^ t[1][(crc >> 8) & 0xFF] ^ t[0][crc & 0xFF];
    }
    for (; size > 0; bytes++, size--) {
        crc = (crc << 8) ^ t[0][((crc >> 24) ^ *bytes) & 0xFF];
    }
    return crc;
}

// `size` is at least the 27 bytes of a page header.
uint32_t OggPageChecksum(const uint8_t* page, size_t size) {
    static const uint8_t zeros[4] = {0, 0, 0, 0};
    uint32_t crc = ChecksumUpdate(0, page, 22);
    crc = ChecksumUpdate(crc, zeros, 4);
    return ChecksumUpdate(crc, page + 26, size - 26);
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

// Opens a Vorbis file on bytes in memory. On failure vorbisfile has already
// released what it allocated.
bool OpenFile(MemorySource& source, OggVorbis_File& file) {
    ov_callbacks callbacks{};
    callbacks.read_func = MemoryRead;
    callbacks.seek_func = MemorySeek;
    callbacks.close_func = nullptr;
    callbacks.tell_func = MemoryTell;
    return ov_open_callbacks(&source, &file, nullptr, 0, callbacks) == 0;
}

// The rate shared by every part of an open file and its stated length in frames
// at that rate; false for what the mixer does not play (parts of differing rates,
// odd rates, no channels, a length past the limit).
bool PlayableShape(OggVorbis_File& file, int& rate, int64_t& sourceFrames) {
    rate = 0;
    const long links = ov_streams(&file);
    for (long link = 0; link < links; link++) {
        vorbis_info* info = ov_info(&file, int(link));
        if (!info || info->channels < 1 || info->rate < MinSourceRate || info->rate > MaxSourceRate) {
            return false;
        }
        if (rate != 0 && info->rate != rate) {
            return false;
        }
        rate = int(info->rate);
    }
    sourceFrames = ov_pcm_total(&file, -1);
    return links >= 1 && sourceFrames >= 0 && sourceFrames <= MaxSoundSeconds * rate;
}

// Frames at PfMixRate for a length at another rate, as PfResampleStereo makes them.
int64_t MixedLength(int64_t sourceFrames, int rate) {
    if (rate == PfMixRate || sourceFrames == 0) {
        return sourceFrames;
    }
    return std::max<int64_t>(1, sourceFrames * PfMixRate / rate);
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

namespace {

// Opens a whole Ogg file held in memory: its pages checked first, then the
// Vorbis stream in it. `source` must outlive the open file.
bool OpenWholeFile(const void* data, size_t size, MemorySource& source, OggVorbis_File& file) {
    if (!data || size == 0 || size > size_t(std::numeric_limits<long>::max())) {
        return false;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!OggPagesComplete(bytes, size)) {
        return false;
    }
    source = MemorySource{bytes, size, 0};
    return OpenFile(source, file);
}

}  // namespace

bool PfDecodeOggVorbis(const void* data, size_t size, std::vector<int16_t>& pcm) {
    pcm.clear();
    MemorySource source{};
    OggVorbis_File file;
    if (!OpenWholeFile(data, size, source, file)) {
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

bool PfProbeOggVorbis(const void* data, size_t size, int64_t& frames) {
    frames = 0;
    MemorySource source{};
    OggVorbis_File file;
    if (!OpenWholeFile(data, size, source, file)) {
        return false;
    }
    int rate = 0;
    int64_t sourceFrames = 0;
    bool playable = PlayableShape(file, rate, sourceFrames);
    ov_clear(&file);
    frames = playable ? MixedLength(sourceFrames, rate) : 0;
    return playable;
}

// ---------------------------------------------------------------------------
// Streams

struct PfOggStream {
    std::shared_ptr<const std::vector<uint8_t>> bytes;
    MemorySource source{};
    OggVorbis_File file{};
    bool open = false;
    bool failed = false;
    int rate = 0;
    int64_t sourceFrames = 0;     // stated length at the file's own rate
    int64_t frames = 0;           // the same at PfMixRate
    std::vector<int16_t> window;  // decoded stereo frames of the file, from windowStart on
    int64_t windowStart = 0;
};

void PfOggStreamCloser::operator()(PfOggStream* stream) const {
    if (stream->open) {
        ov_clear(&stream->file);
    }
    delete stream;
}

PfOggStreamPtr PfOpenOggStream(std::shared_ptr<const std::vector<uint8_t>> bytes) {
    if (!bytes || bytes->empty() || bytes->size() > size_t(std::numeric_limits<long>::max())) {
        return nullptr;
    }
    PfOggStreamPtr stream(new PfOggStream);
    stream->bytes = std::move(bytes);
    stream->source = MemorySource{stream->bytes->data(), stream->bytes->size(), 0};
    if (!OpenFile(stream->source, stream->file)) {
        return nullptr;
    }
    stream->open = true;
    if (!PlayableShape(stream->file, stream->rate, stream->sourceFrames)) {
        return nullptr;
    }
    stream->frames = MixedLength(stream->sourceFrames, stream->rate);
    return stream;
}

namespace {

// A position further ahead than this is reached by seeking, not by decoding on.
constexpr int64_t SeekAheadFrames = 8192;
constexpr int DecodePiece = 4096;

// Makes the file's frames first..last present in the window: decoding on from
// the window's end, or seeking first where `first` lies behind it or far ahead.
// Frames before `first` are dropped. False when the stream fails before `last`.
bool FillWindow(PfOggStream& stream, int64_t first, int64_t last) {
    int64_t end = stream.windowStart + int64_t(stream.window.size() / 2);
    if (first < stream.windowStart || first > end + SeekAheadFrames) {
        stream.window.clear();
        stream.windowStart = first;
        end = first;
        if (ov_pcm_seek(&stream.file, first) != 0) {
            return false;
        }
    }
    bool complete = true;
    while (end <= last) {
        float** channelData = nullptr;
        int link = 0;
        long got = ov_read_float(&stream.file, &channelData, DecodePiece, &link);
        vorbis_info* info = got > 0 ? ov_info(&stream.file, link) : nullptr;
        // A damaged packet or page (< 0), or an end before the stated length (0).
        if (!info || info->rate != stream.rate || info->channels < 1) {
            complete = false;
            break;
        }
        int left = 0;
        int right = 0;
        StereoPairOf(info->channels, left, right);
        for (long i = 0; i < got; i++) {
            stream.window.push_back(FloatToSample(channelData[left][i]));
            stream.window.push_back(FloatToSample(channelData[right][i]));
        }
        end += got;
    }
    if (first > stream.windowStart) {
        int64_t drop = std::min(first, end) - stream.windowStart;
        stream.window.erase(stream.window.begin(), stream.window.begin() + std::ptrdiff_t(drop * 2));
        stream.windowStart += drop;
    }
    return complete;
}

}  // namespace

int PfReadOggStream(PfOggStream& stream, int64_t position, int16_t* out, int frames) {
    if (stream.failed || !out || frames <= 0 || position < 0 || position >= stream.frames) {
        return 0;
    }
    frames = int(std::min<int64_t>(frames, stream.frames - position));
    const bool resampled = stream.rate != PfMixRate;
    // The file's frames under a mixed frame: the one at or before it and the next,
    // as PfResampleStereo interpolates them.
    auto sourceIndex = [&](int64_t frame) {
        return resampled ? std::min(frame * stream.rate / PfMixRate, stream.sourceFrames - 1) : frame;
    };
    const int64_t first = sourceIndex(position);
    const int64_t last = resampled ? std::min(sourceIndex(position + frames - 1) + 1, stream.sourceFrames - 1)
                                   : position + frames - 1;
    if (!FillWindow(stream, first, last)) {
        stream.failed = true;
    }
    const int64_t windowEnd = stream.windowStart + int64_t(stream.window.size() / 2);
    const int16_t* window = stream.window.data();
    int written = 0;
    for (; written < frames; written++) {
        const int64_t frame = position + written;
        if (!resampled) {
            if (frame >= windowEnd) {
                break;
            }
            const int16_t* from = window + (frame - stream.windowStart) * 2;
            out[written * 2] = from[0];
            out[written * 2 + 1] = from[1];
            continue;
        }
        const int64_t scaled = frame * stream.rate;
        const int64_t a = std::min(scaled / PfMixRate, stream.sourceFrames - 1);
        const int64_t b = std::min(a + 1, stream.sourceFrames - 1);
        const int64_t fraction = scaled % PfMixRate;
        if (b >= windowEnd) {
            break;
        }
        for (int side = 0; side < 2; side++) {
            int64_t sa = window[(a - stream.windowStart) * 2 + side];
            int64_t sb = window[(b - stream.windowStart) * 2 + side];
            out[written * 2 + side] = int16_t(sa + (sb - sa) * fraction / PfMixRate);
        }
    }
    return written;
}
