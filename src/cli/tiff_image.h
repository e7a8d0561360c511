// A baseline TIFF of an RGB raster, written by hand: Cairo writes no TIFF. PackBits strips,
// 8 bits per sample, the resolution in dots per inch recorded (tags 282, 283, 296), as the
// journals that ask for TIFF check.
#pragma once

#include <cstdint>
#include <string>

namespace orv::cli {

// The file's bytes from `height` rows of `width` pixels, each row `stride` bytes from the one
// before, each pixel 32 bits in the machine's order with red in bits 16-23, green in 8-15 and
// blue in 0-7 (Cairo's RGB24).
std::string TiffImage(const unsigned char* pixels, int width, int height, int stride, int dpi);

}  // namespace orv::cli
