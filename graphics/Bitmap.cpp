// Image files. Sizes are checked against the bytes actually present before
// anything is allocated, so a damaged header cannot ask for gigabytes.
#include "graphics/Bitmap.h"

#include "console/Markup.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace vemlor {

namespace {

constexpr int kLargestSide = 20000;

uint32_t little(const std::string& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + size_t(i)]);
    return value;
}

std::optional<Image> windowsBitmap(const std::string& bytes) {
    if (bytes.size() < 54) return std::nullopt;
    uint32_t offset = little(bytes, 10, 4);
    int32_t width = int32_t(little(bytes, 18, 4)), height = int32_t(little(bytes, 22, 4));
    int bits = int(little(bytes, 28, 2)), compression = int(little(bytes, 30, 4));
    bool topDown = height < 0;
    if (topDown) height = -height;
    if ((bits != 24 && bits != 32) || compression != 0 || width <= 0 || height <= 0 ||
        width > kLargestSide || height > kLargestSide)
        return std::nullopt;
    size_t rowBytes = (size_t(width) * size_t(bits / 8) + 3) / 4 * 4;
    if (offset > bytes.size() || (bytes.size() - offset) / rowBytes < size_t(height))
        return std::nullopt;
    Image image{width, height, std::vector<Rgb>(size_t(width) * size_t(height))};
    for (int y = 0; y < height; ++y) {
        size_t row = offset + size_t(topDown ? y : height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            size_t p = row + size_t(x) * size_t(bits / 8);
            image.pixels[size_t(y) * size_t(width) + size_t(x)] =
                makeRgb(uint8_t(bytes[p + 2]), uint8_t(bytes[p + 1]), uint8_t(bytes[p]));
        }
    }
    return image;
}

// Reads the next whole number of a pixmap header or P3 body, skipping
// white space and "#" comments; -1 when there is none.
long pixmapNumber(const std::string& bytes, size_t& at) {
    while (at < bytes.size()) {
        if (bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n')
                ++at;
        } else if (std::isspace(static_cast<unsigned char>(bytes[at]))) {
            ++at;
        } else {
            break;
        }
    }
    long value = -1;
    while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at])) &&
           value < 1000000)
        value = (value < 0 ? 0 : value * 10) + (bytes[at++] - '0');
    return value;
}

std::optional<Image> portablePixmap(const std::string& bytes) {
    bool binary = bytes[1] == '6';
    size_t at = 2;
    long width = pixmapNumber(bytes, at), height = pixmapNumber(bytes, at);
    long levels = pixmapNumber(bytes, at);
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide || levels <= 0 ||
        levels > 255)
        return std::nullopt;
    size_t count = size_t(width) * size_t(height);
    ++at; // the one white-space character before binary samples
    if (binary && (at > bytes.size() || (bytes.size() - at) / 3 < count)) return std::nullopt;
    if (!binary && (bytes.size() + 1) / 6 < count) return std::nullopt; // "0 0 0 " at least
    Image image{int(width), int(height), std::vector<Rgb>(count)};
    --at;
    for (Rgb& pixel : image.pixels) {
        long rgb[3];
        for (long& c : rgb) {
            c = binary ? long(uint8_t(bytes[++at])) : pixmapNumber(bytes, at);
            if (c < 0 || c > levels) return std::nullopt;
            c = c * 255 / levels;
        }
        pixel = makeRgb(int(rgb[0]), int(rgb[1]), int(rgb[2]));
    }
    return image;
}

} // namespace

std::optional<Image> readImageFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return windowsBitmap(bytes);
    if (bytes.size() >= 3 && bytes[0] == 'P' && (bytes[1] == '3' || bytes[1] == '6'))
        return portablePixmap(bytes);
    return std::nullopt;
}

} // namespace vemlor
