// Encodes a sound as an Ogg Vorbis stream with libvorbisenc. The stream's
// serial number is fixed and no time or host tag is written, so the bytes
// depend only on the samples and the library.
#pragma once

#include "synth.h"

#include <vector>

std::vector<unsigned char> ogg_encode(const Sound &s, float quality, int serial);
