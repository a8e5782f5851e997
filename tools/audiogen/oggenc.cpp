// libvorbisenc's usual encode loop: headers, then blocks of analysed samples,
// each finished page appended to the output.
#include "oggenc.h"

#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <cstdlib>

static void append_page(std::vector<unsigned char> &out, const ogg_page &page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

std::vector<unsigned char> ogg_encode(const Sound &s, float quality, int serial) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, s.channels, s.rate, quality) != 0) {
        std::fprintf(stderr, "audiogen: vorbis_encode_init_vbr refused the format\n");
        std::exit(1);
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "quorrin theme");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    std::vector<unsigned char> out;
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    // The audio starts on a fresh page, as decoders expect.
    while (ogg_stream_flush(&os, &page) != 0)
        append_page(out, page);

    const size_t frames = s.frames();
    const size_t block = 1024;
    size_t done = 0;
    bool eos = false;
    while (!eos) {
        const size_t count = done < frames ? std::min(block, frames - done) : 0;
        if (count > 0) {
            float **buf = vorbis_analysis_buffer(&vd, int(count));
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < s.channels; ++c)
                    buf[c][i] = s.samples[(done + i) * size_t(s.channels) + size_t(c)];
            vorbis_analysis_wrote(&vd, int(count));
            done += count;
        } else {
            vorbis_analysis_wrote(&vd, 0); // end of stream
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    append_page(out, page);
                    if (ogg_page_eos(&page))
                        eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}
