// Writes sounds as canonical RIFF/WAVE PCM files: one "fmt " chunk of 16 bytes
// and one "data" chunk, which is all the game's mixer needs to read.
#pragma once

#include "synth.h"

#include <string>
#include <vector>

// 16-bit signed or 8-bit unsigned PCM, in the sound's own rate and channels.
// The 8-bit form is dithered from a fixed seed, so it is reproducible too.
std::vector<unsigned char> wav_encode(const Sound &s, int bits);
bool write_bytes(const std::string &path, const std::vector<unsigned char> &bytes);
