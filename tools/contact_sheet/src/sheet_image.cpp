// Canvas drawing and the libpng calls. Pictures go through libpng's
// simplified API, which converts every colour type to RGBA for us.
#include "sheet_image.h"
#include "sheet_font.h"

#include <algorithm>
#include <png.h>

Canvas::Canvas(int w, int h, Rgb fill) : width(w), height(h), rgb(size_t(w) * h * 3) {
    fill_rect(0, 0, w, h, fill);
}

void Canvas::put(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    uint8_t *p = &rgb[(size_t(y) * width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void Canvas::fill_rect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            put(i, j, c);
}

void Canvas::text(int x, int y, const std::string &s, int scale, Rgb c) {
    for (size_t n = 0; n < s.size(); n++) {
        const uint8_t *rows = font_glyph(s[n]);
        for (int row = 0; row < 7; row++)
            for (int col = 0; col < 5; col++)
                if (rows[row] & (0x10 >> col))
                    fill_rect(x + int(n) * 6 * scale + col * scale, y + row * scale, scale, scale,
                              c);
    }
}

bool picture_load_png(const std::string &path, Picture &out, std::string &error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool canvas_save_png(const Canvas &canvas, const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(canvas.width);
    image.height = png_uint_32(canvas.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, canvas.rgb.data(), 0, nullptr) != 0;
}

void canvas_paste(Canvas &canvas, const Picture &pic, int x, int y, int w, int h) {
    if (pic.width <= 0 || pic.height <= 0)
        return;
    float scale = std::min({float(w) / pic.width, float(h) / pic.height, 4.0f});
    // A one-pixel-wide strip would vanish: keep thin pictures at least a few pixels across.
    int dw = std::max(4, int(pic.width * scale)), dh = std::max(4, int(pic.height * scale));
    dw = std::min(dw, w);
    dh = std::min(dh, h);
    int ox = x + (w - dw) / 2, oy = y + (h - dh) / 2;
    for (int j = 0; j < dh; j++)
        for (int i = 0; i < dw; i++) {
            int sx = std::min(pic.width - 1, i * pic.width / dw);
            int sy = std::min(pic.height - 1, j * pic.height / dh);
            const uint8_t *p = &pic.rgba[(size_t(sy) * pic.width + sx) * 4];
            int check = ((i / 8) + (j / 8)) % 2 ? 90 : 60;
            float a = p[3] / 255.0f;
            Rgb c{uint8_t(p[0] * a + check * (1 - a)), uint8_t(p[1] * a + check * (1 - a)),
                  uint8_t(p[2] * a + check * (1 - a))};
            canvas.put(ox + i, oy + j, c);
        }
}
