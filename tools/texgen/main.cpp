// Writes the game's 21 textures into one folder: texgen OUT_DIR [MEMBER ...].
// With member names only those are written; every picture is drawn from scratch on
// each run, and the same program always writes the same bytes.
#include "pngout.h"
#include "textures.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Member {
    const char *name;
    int w, h, channels;
    Image (*make)();
};

// In the archive's order, with the size and channels the game expects.
const Member kMembers[] = {
    {"jet.png", 64, 256, 4, make_jet_tube},
    {"jetfrom.png", 256, 256, 4, make_jet_glow},
    {"jetf2.png", 256, 256, 4, make_jet_glow_wide},
    {"umi.png", 256, 256, 4, make_sea},
    {"sky.png", 1024, 256, 4, make_sky},
    {"lock1.png", 32, 32, 4, make_lock_ring},
    {"lock2.png", 64, 64, 4, make_lock_cross},
    {"lock3.png", 32, 32, 4, make_lock_taken},
    {"sight.png", 64, 64, 4, make_sight},
    {"landmap.png", 1, 64, 3, make_landmap},
    {"splash3.png", 256, 256, 4, [] { return make_splash(0); }},
    {"splashwake1.png", 256, 256, 4, [] { return make_splash(1); }},
    {"splashwake3.png", 256, 256, 4, [] { return make_splash(3); }},
    {"smokesprites0199.png", 256, 256, 4, make_smoke},
    {"sun.png", 256, 256, 4, make_sun},
    {"smokesprites0199_inv.png", 256, 256, 4, make_smoke_dark},
    {"smokesprites0199_burn.png", 256, 256, 4, make_smoke_burn},
    {"abshock.png", 256, 256, 4, make_shock},
    {"hud.png", 256, 256, 4, make_hud},
    {"title.png", 1024, 1024, 3, make_title},
    {"endofseq.png", 256, 256, 4, make_end},
};

bool wanted(const char *name, int argc, char **argv) {
    if (argc <= 2)
        return true;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: texgen OUT_DIR [MEMBER ...]\n");
        return 2;
    }
    std::string dir = argv[1];
    int written = 0;
    for (const Member &m : kMembers) {
        if (!wanted(m.name, argc, argv))
            continue;
        Image img = m.make();
        if (img.w != m.w || img.h != m.h || img.channels != m.channels) {
            std::fprintf(stderr, "texgen: %s drawn as %dx%dx%d, expected %dx%dx%d\n", m.name, img.w,
                         img.h, img.channels, m.w, m.h, m.channels);
            return 1;
        }
        if (!png_write_image(dir + "/" + m.name, img))
            return 1;
        ++written;
    }
    if (written != argc - 2 && argc > 2) {
        std::fprintf(stderr, "texgen: unknown member name given\n");
        return 1;
    }
    return 0;
}
