// Writes the game's 21 textures into one folder: texgen OUT_DIR [MEMBER ...].
// With member names only those are written; every picture is drawn from scratch on
// each run, and the same program always writes the same bytes.
#include "pngout.h"
#include "textures.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

const Member *find(const char *name) {
    for (const Member &m : kMembers)
        if (std::strcmp(m.name, name) == 0)
            return &m;
    return nullptr;
}

bool write_member(const std::string &dir, const Member &m) {
    Image img = m.make();
    if (img.w != m.w || img.h != m.h || img.channels != m.channels) {
        std::fprintf(stderr, "texgen: %s drawn as %dx%dx%d, expected %dx%dx%d\n", m.name, img.w,
                     img.h, img.channels, m.w, m.h, m.channels);
        return false;
    }
    return png_write_image(dir + "/" + m.name, img);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: texgen OUT_DIR [MEMBER ...]\n");
        return 2;
    }
    std::string dir = argv[1];
    std::vector<const Member *> chosen;
    for (int i = 2; i < argc; ++i) {
        const Member *m = find(argv[i]);
        if (!m) {
            std::fprintf(stderr, "texgen: no member named %s\n", argv[i]);
            return 2;
        }
        chosen.push_back(m);
    }
    if (chosen.empty())
        for (const Member &m : kMembers)
            chosen.push_back(&m);
    for (const Member *m : chosen)
        if (!write_member(dir, *m))
            return 1;
    return 0;
}
