// audiogen OUT_DIR: writes the game's nine sound effects and its music into
// OUT_DIR, under the member names the game loads them by.
#include "music.h"
#include "oggenc.h"
#include "sfx.h"
#include "wavfile.h"

#include <cstdio>
#include <string>

// Any fixed value will do; fixing it is what makes the Ogg bytes reproducible.
static constexpr int kOggSerial = 0x51524E31;
static constexpr float kOggQuality = 0.3f;

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    struct Member {
        const char *name;
        Sound (*make)();
        int bits;
    };
    const Member wavs[] = {
        {"shot.wav", sfx_shot, 16},
        {"ef20003m.wav", sfx_engine_start, 16},
        {"ef20003m_4.wav", [] { return sfx_engine_loop(ENGINE_SLOW); }, 16},
        {"ef20003m_2.wav", [] { return sfx_engine_loop(ENGINE_CRUISE); }, 16},
        {"ef20003m_3.wav", [] { return sfx_engine_loop(ENGINE_AFTERBURNER); }, 16},
        {"missile.wav", sfx_missile, 16},
        {"lockon16.wav", sfx_lockon, 16},
        {"bomb1.wav", sfx_explosion, 16},
        {"rocket1.wav", sfx_rocket, 8},
    };
    for (const Member &m : wavs) {
        if (!write_bytes(dir + "/" + m.name, wav_encode(m.make(), m.bits))) {
            std::fprintf(stderr, "audiogen: cannot write %s/%s\n", dir.c_str(), m.name);
            return 1;
        }
    }
    if (!write_bytes(dir + "/final_base.ogg",
                     ogg_encode(music_render(), kOggQuality, kOggSerial))) {
        std::fprintf(stderr, "audiogen: cannot write %s/final_base.ogg\n", dir.c_str());
        return 1;
    }
    return 0;
}
