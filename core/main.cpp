// The process entry: SDL 1.2 has no start-up glue on Linux, so main hands over
// to SDL_main and ends the process with what it returns.

#include "core/startup.h"

int main(int argc, char **argv) {
    return SDL_main(argc, argv);
}
