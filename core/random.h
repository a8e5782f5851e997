// The game's random numbers: one rand sequence that the simulation and the
// drawing share, so what is drawn moves what the world does next. The game's
// arithmetic expects rand's range of 0 to 32767; glibc's rand is 31 bits wide,
// and its low 15 bits give that range.
#pragma once

#include <cstdlib>

// From 0 to 1, both included.
inline double random_unit() {
    return (std::rand() & 0x7fff) / 32767.0;
}
