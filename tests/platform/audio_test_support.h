// audio_test_support.h: OGG Vorbis files made in memory and mixer stepping for the sound tests
// (header only, so that the game's audio tests can use it too).
#pragma once

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform.h"

// A sine tone of `seconds` at `rate` with `channels` channels; amplitude 0..1.
// Vorbis keeps the exact length, so it decodes to round(seconds * rate) frames.
// With pagePerPacket every audio packet gets a page of its own.
inline std::vector<uint8_t> MakeOggTone(int rate, int channels, double seconds, double frequency,
                                        double amplitude, bool pagePerPacket = false) {
    std::vector<uint8_t> file;
    auto appendPage = [&file](const ogg_page& page) {
        file.insert(file.end(), page.header, page.header + page.header_len);
        file.insert(file.end(), page.body, page.body + page.body_len);
    };
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.5f) != 0) {
        vorbis_info_clear(&info);
        return file;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 4242);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(page);
    }

    const long total = std::lround(seconds * rate);
    const double pi = 3.14159265358979323846;
    long written = 0;
    bool finished = false;
    while (!finished) {
        long chunk = std::min<long>(1024, total - written);
        if (chunk > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, int(chunk));
            for (long i = 0; i < chunk; i++) {
                double t = double(written + i) / rate;
                float value = float(amplitude * std::sin(2 * pi * frequency * t));
                for (int c = 0; c < channels; c++) {
                    buffer[c][i] = value;
                }
            }
            vorbis_analysis_wrote(&dsp, int(chunk));
            written += chunk;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
            finished = true;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while ((pagePerPacket ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
                    appendPage(page);
                }
            }
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(page);
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return file;
}

// Steps the mixer by `frames` stereo frames, in device-sized pieces, and returns
// the interleaved output.
inline std::vector<int16_t> MixFrames(int frames) {
    std::vector<int16_t> out(size_t(frames) * 2);
    int done = 0;
    while (done < frames) {
        int piece = std::min(1024, frames - done);
        PfMixSound(out.data() + size_t(done) * 2, piece);
        done += piece;
    }
    return out;
}

inline bool AllSilent(const std::vector<int16_t>& samples) {
    for (int16_t s : samples) {
        if (s != 0) {
            return false;
        }
    }
    return true;
}

inline int64_t SumOfMagnitudes(const std::vector<int16_t>& samples) {
    int64_t sum = 0;
    for (int16_t s : samples) {
        sum += s < 0 ? -int64_t(s) : int64_t(s);
    }
    return sum;
}
