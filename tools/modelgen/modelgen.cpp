// Writes the game's five 3DS models into the folder named on the command line.
#include "models.h"
#include "shapes.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: modelgen <output folder>\n");
        return 2;
    }
    try {
        for (auto build :
             {build_f14tomcat, build_fighter, build_mig25, build_missile, build_bulletfire}) {
            ModelDef model = build();
            for (const MeshDef &mesh : model.meshes)
                check_no_degenerate(mesh);
            std::vector<uint8_t> bytes = model_write_3ds(model);
            std::string path = std::string(argv[1]) + "/" + model.file_name;
            FILE *f = std::fopen(path.c_str(), "wb");
            if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
                std::fclose(f) != 0) {
                std::fprintf(stderr, "modelgen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "modelgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
