// Renders every picture and every model of the game's data into one PNG, so
// the whole set can be judged at a glance: pictures over a checkerboard,
// each model from the side, from above, three-quarter front and from the chase
// camera's place behind. Missing members get a marked empty cell.
#include "model_view.h"
#include "sheet_image.h"

#include <cstdio>
#include <string>

namespace {

const char *PICTURES[] = {"jet.png",
                          "jetfrom.png",
                          "jetf2.png",
                          "umi.png",
                          "sky.png",
                          "lock1.png",
                          "lock2.png",
                          "lock3.png",
                          "sight.png",
                          "landmap.png",
                          "splash3.png",
                          "splashwake1.png",
                          "splashwake3.png",
                          "smokesprites0199.png",
                          "sun.png",
                          "smokesprites0199_inv.png",
                          "smokesprites0199_burn.png",
                          "abshock.png",
                          "hud.png",
                          "title.png",
                          "endofseq.png"};
const char *MODELS[] = {"f14tomcat.3ds", "fighter.3ds", "mig25.3ds", "missile.3ds",
                        "bulletfire.3ds"};

struct ViewAngle {
    const char *label;
    float yaw, pitch;
};
const ViewAngle VIEWS[] = {
    {"side", 0, 0}, {"top", 0, 90}, {"3/4 front", 40, 28}, {"chase", -90, 14}};

const int MARGIN = 12, LABEL_H = 22;
const int PIC_COLS = 7, PIC_CELL = 220;
const int VIEW_W = 520, VIEW_H = 340;
const Rgb BACKGROUND{28, 30, 36}, CELL{44, 48, 58}, TEXT{230, 230, 230}, WARN{255, 90, 90};

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: contact_sheet <data folder> <output.png>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int n_pics = int(sizeof PICTURES / sizeof *PICTURES);
    const int n_models = int(sizeof MODELS / sizeof *MODELS);
    const int n_views = int(sizeof VIEWS / sizeof *VIEWS);
    const int pic_rows = (n_pics + PIC_COLS - 1) / PIC_COLS;
    const int width = MARGIN + n_views * (VIEW_W + MARGIN);
    const int pics_h = pic_rows * (PIC_CELL + LABEL_H + MARGIN);
    const int height = MARGIN + pics_h + n_models * (VIEW_H + LABEL_H + MARGIN);
    Canvas sheet(width, height, BACKGROUND);
    int missing = 0;

    const int pic_w = (width - MARGIN) / PIC_COLS - MARGIN;
    for (int i = 0; i < n_pics; i++) {
        int x = MARGIN + (i % PIC_COLS) * (pic_w + MARGIN);
        int y = MARGIN + (i / PIC_COLS) * (PIC_CELL + LABEL_H + MARGIN);
        sheet.fill_rect(x, y + LABEL_H, pic_w, PIC_CELL, CELL);
        Picture pic;
        std::string error;
        if (picture_load_png(dir + "/" + PICTURES[i], pic, error)) {
            canvas_paste(sheet, pic, x, y + LABEL_H, pic_w, PIC_CELL);
            std::string size = std::to_string(pic.width) + "x" + std::to_string(pic.height);
            sheet.text(x, y + 2, PICTURES[i], 1, TEXT);
            sheet.text(x, y + 12, size, 1, TEXT);
        } else {
            missing++;
            sheet.text(x, y + 2, PICTURES[i], 1, WARN);
            sheet.text(x + 8, y + LABEL_H + PIC_CELL / 2, "missing", 2, WARN);
        }
    }

    for (int m = 0; m < n_models; m++) {
        int y = MARGIN + pics_h + m * (VIEW_H + LABEL_H + MARGIN);
        ViewModel model;
        std::string error;
        bool ok = view_model_load(dir + "/" + MODELS[m], model, error);
        std::string label = std::string(MODELS[m]);
        if (ok)
            label += "  meshes " + std::to_string(model.meshes) + "  vertices " +
                     std::to_string(model.vertices) + "  faces " +
                     std::to_string(model.triangles.size());
        else
            label += "  " + error;
        sheet.text(MARGIN, y + 4, label, 2, ok ? TEXT : WARN);
        for (int v = 0; v < n_views; v++) {
            int x = MARGIN + v * (VIEW_W + MARGIN);
            sheet.fill_rect(x, y + LABEL_H, VIEW_W, VIEW_H, CELL);
            sheet.text(x + 4, y + LABEL_H + 4, VIEWS[v].label, 1, TEXT);
            if (ok)
                view_model_render(sheet, model, x, y + LABEL_H, VIEW_W, VIEW_H, VIEWS[v].yaw,
                                  VIEWS[v].pitch);
        }
        if (!ok)
            missing++;
    }

    if (!canvas_save_png(sheet, argv[2])) {
        std::fprintf(stderr, "contact_sheet: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("contact_sheet: wrote %s (%d of %d members missing)\n", argv[2], missing,
                n_pics + n_models);
    return 0;
}
