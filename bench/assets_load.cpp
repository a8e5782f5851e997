// Start-up loading of the embedded archive (every model, sound, the music, the
// textures and the stage list), timed over 20 runs, beside its floor: libpng
// alone decoding the same pictures from memory into one pixel buffer each.
// Needs an X display for the OpenGL context.

#include "support/game_window.h"
#include "assets/archive.h"
#include "assets/assets.h"
#include "assets/ffres.h"
#include "assets/model3ds.h"
#include "assets/stage_script.h"
#include "core/startup.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A fatal box must not wait for a click on a display nobody watches.
int platform_message_box(const char *text, const char *caption, unsigned) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    return IDOK;
}

namespace {

const int RUNS = 20;

struct Member {
    std::string name;
    std::vector<unsigned char> bytes;
};

// Every picture of the archive, inflated once, before any timing.
std::vector<Member> read_pictures() {
    std::vector<Member> pictures;
    unzFile zip = unzOpen2("DATAZIP", ffres_filefunc());
    if (!zip)
        return pictures;
    std::vector<std::string> names;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        char name[256];
        unz_file_info info; // this minizip needs the record even when only the name is wanted
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) ==
                UNZ_OK &&
            std::strstr(name, ".png"))
            names.push_back(name);
    }
    for (const std::string &name : names) {
        int size = 0;
        char *buf = archive_read_member(zip, name.c_str(), &size);
        if (!buf)
            continue;
        pictures.push_back({name, std::vector<unsigned char>(buf, buf + size)});
        std::free(buf);
    }
    unzClose(zip);
    return pictures;
}

struct MemoryReader {
    const unsigned char *data;
    size_t size;
    size_t pos;
};

void read_from_memory(png_structp png, png_bytep out, png_size_t n) {
    auto *r = static_cast<MemoryReader *>(png_get_io_ptr(png));
    if (n > r->size - r->pos)
        png_error(png, "read past the end");
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
}

// libpng's plain decode into one buffer: 8-bit samples, palettes and low gray
// depths expanded, as the texture loader asks for.
size_t decode_png(const Member &m, std::vector<unsigned char> &pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{m.bytes.data(), m.bytes.size(), 0};
    size_t bytes = 0;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &reader, read_from_memory);
        png_read_info(png, info);
        png_set_expand(png);
        png_set_strip_16(png);
        int passes = png_set_interlace_handling(png);
        (void)passes;
        png_read_update_info(png, info);
        png_uint_32 h = png_get_image_height(png, info);
        size_t row = png_get_rowbytes(png, info);
        pixels.resize(row * h);
        std::vector<png_bytep> rows(h);
        for (png_uint_32 y = 0; y < h; y++)
            rows[y] = pixels.data() + y * row;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        bytes = row * h;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return bytes;
}

void BM_PngDecodeFloor(benchmark::State &state) {
    std::vector<Member> pictures = read_pictures();
    if (pictures.empty()) {
        state.SkipWithError("no pictures in the embedded archive");
        return;
    }
    std::vector<unsigned char> pixels;
    for (auto _ : state) {
        size_t total = 0;
        for (const Member &m : pictures) {
            std::vector<unsigned char> one;
            total += decode_png(m, one);
            benchmark::DoNotOptimize(one.data());
        }
        state.counters["pictures"] = double(pictures.size());
        state.counters["pixel_bytes"] = double(total);
    }
}

void free_assets() {
    for (Model3ds **m :
         {&g_model_fighter, &g_model_mig25, &g_model_f14, &g_model_missile, &g_model_bullet}) {
        model3ds_free(*m);
        *m = nullptr;
    }
    for (Mix_Chunk **c : {&g_snd_shot, &g_snd_engine[0], &g_snd_engine[1], &g_snd_engine[2],
                          &g_snd_missile, &g_snd_lockon, &g_snd_bomb}) {
        Mix_FreeChunk(*c);
        *c = nullptr;
    }
    // The music's member buffer is the music's for good; a few megabytes per
    // run are left behind on purpose.
    Mix_FreeMusic(g_music);
    g_music = nullptr;
    unsigned textures[] = {g_tex_jet,         g_tex_jetfrom, g_tex_jetf2,   g_tex_sea,
                           g_tex_sky,         g_tex_lock1,   g_tex_lock2,   g_tex_lock3,
                           g_tex_sight,       g_tex_landmap, g_tex_splash3, g_tex_splashwake1,
                           g_tex_splashwake3, g_tex_smoke,   g_tex_sun,     g_tex_smoke_inv,
                           g_tex_smoke_burn,  g_tex_abshock, g_tex_hud,     g_tex_title,
                           g_tex_endofseq};
    glDeleteTextures(GLsizei(sizeof textures / sizeof textures[0]), textures);
    for (StageEntry *e = g_stage_head; e;) {
        StageEntry *next = e->next;
        std::free(e);
        e = next;
    }
    g_stage_head = nullptr;
}

void BM_AssetsLoadAll(benchmark::State &state) {
    for (auto _ : state) {
        assets_load_all();
        glFinish();
        state.PauseTiming();
        free_assets();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_AssetsLoadAll)->Iterations(1)->Repetitions(RUNS)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeFloor)->Iterations(1)->Repetitions(RUNS)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_assets_load needs an X display (run it under Xvfb)\n");
        return 1;
    }
    if (!game_window_open()) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    Mix_CloseAudio();
    SDL_Quit();
    return 0;
}
