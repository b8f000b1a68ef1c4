// Bitmaps that figures show: an image in memory and the reader of the two
// file formats `loadBitmap` accepts, Windows bitmaps (".bmp", uncompressed,
// 24 or 32 bits a pixel) and portable pixmaps (".ppm", P3 text or P6
// binary, at most 255 levels).
#pragma once

#include "platform/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace vemlor {

// Empty when the file cannot be read or is in neither format.
std::optional<Image> readImageFile(const std::string& path);

} // namespace vemlor
