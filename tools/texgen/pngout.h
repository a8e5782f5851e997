// Writes an Image as an 8-bit, non-interlaced PNG with libpng's classic write API.
// Fixed compression settings and no time chunk, so equal images give equal files.
#pragma once

#include "raster.h"

#include <string>

// False (with a line on stderr) when the file cannot be written.
bool png_write_image(const std::string &path, const Image &img);
