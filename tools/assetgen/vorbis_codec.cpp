// vorbis_codec.cpp: Ogg Vorbis encoding of synthesised tracks, and decoding to check them.
#include "vorbis_codec.h"

#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <vorbis/vorbisenc.h>
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace {

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Pulls every finished packet out of the encoder and writes the full pages.
void DrainEncoder(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream,
                  std::vector<uint8_t>& out) {
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            ogg_page page;
            while (ogg_stream_pageout(&stream, &page) != 0) {
                AppendPage(out, page);
            }
        }
    }
}

struct MemoryFile {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

size_t ReadMemory(void* destination, size_t size, size_t count, void* source) {
    MemoryFile* file = static_cast<MemoryFile*>(source);
    if (size == 0) {
        return 0;
    }
    size_t left = file->bytes->size() - file->at;
    size_t items = std::min(count, left / size);
    std::memcpy(destination, file->bytes->data() + file->at, items * size);
    file->at += items * size;
    return items;
}

}  // namespace

std::vector<uint8_t> EncodeVorbis(const Track& track, int channels, float quality, int serialNumber) {
    std::vector<uint8_t> out;
    channels = channels == 1 ? 1 : 2;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, SampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ARTIST", "Prismoria");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serialNumber);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    // The headers go on pages of their own, so the audio starts on a fresh page.
    while (ogg_stream_flush(&stream, &page) != 0) {
        AppendPage(out, page);
    }

    const size_t chunk = 4096;
    size_t frames = FramesOf(track);
    for (size_t at = 0; at < frames; at += chunk) {
        size_t count = std::min(chunk, frames - at);
        float** buffer = vorbis_analysis_buffer(&dsp, int(count));
        for (size_t i = 0; i < count; ++i) {
            float l = track.left[at + i];
            float r = track.right[at + i];
            if (channels == 1) {
                buffer[0][i] = 0.5f * (l + r);
            } else {
                buffer[0][i] = l;
                buffer[1][i] = r;
            }
        }
        vorbis_analysis_wrote(&dsp, int(count));
        DrainEncoder(dsp, block, stream, out);
    }
    vorbis_analysis_wrote(&dsp, 0);  // end of stream
    DrainEncoder(dsp, block, stream, out);
    while (ogg_stream_flush(&stream, &page) != 0) {
        AppendPage(out, page);
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

namespace {

// Opens the file and hands every decoded block of frames to `take`.
template <typename Take>
bool DecodeBlocks(const std::vector<uint8_t>& bytes, int& channels, long& rate, Take take) {
    MemoryFile memory{&bytes, 0};
    ov_callbacks callbacks{ReadMemory, nullptr, nullptr, nullptr};  // read straight through
    OggVorbis_File file;
    if (ov_open_callbacks(&memory, &file, nullptr, 0, callbacks) != 0) {
        return false;
    }
    vorbis_info* info = ov_info(&file, -1);
    if (!info || info->channels < 1) {
        ov_clear(&file);
        return false;
    }
    channels = info->channels;
    rate = info->rate;
    bool good = true;
    for (;;) {
        float** pcm = nullptr;
        int link = 0;
        long frames = ov_read_float(&file, &pcm, 4096, &link);
        if (frames == 0) {
            break;
        }
        if (frames < 0 || link != 0) {
            good = false;
            break;
        }
        take(pcm, frames);
    }
    ov_clear(&file);
    return good;
}

}  // namespace

bool DecodeVorbis(const std::vector<uint8_t>& bytes, DecodedSound& sound) {
    sound = DecodedSound{};
    return DecodeBlocks(bytes, sound.channels, sound.rate, [&](float** pcm, long frames) {
        for (long i = 0; i < frames; ++i) {
            for (int c = 0; c < sound.channels; ++c) {
                sound.samples.push_back(pcm[c][i]);
            }
        }
    });
}

bool DecodedPeakOf(const std::vector<uint8_t>& bytes, double& peak) {
    peak = 0;
    int channels = 0;
    long rate = 0;
    return DecodeBlocks(bytes, channels, rate, [&](float** pcm, long frames) {
        for (int c = 0; c < channels; ++c) {
            for (long i = 0; i < frames; ++i) {
                peak = std::max(peak, double(std::fabs(pcm[c][i])));
            }
        }
    });
}
