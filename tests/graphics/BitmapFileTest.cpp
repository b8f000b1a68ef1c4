// The image reader on files written here byte by byte: a bottom-up 24-bit
// Windows bitmap with row padding, a binary pixmap, and damaged headers
// that must be refused without reading past the data.
#include "graphics/Bitmap.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace vemlor {
namespace {

std::string scratchFile(const std::string& name, const std::string& bytes) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string littleEndian(uint32_t value, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += char(value >> (8 * i) & 0xff);
    return out;
}

// A 2 × 2 bitmap: top row red, green; bottom row blue, white (rows are
// stored bottom first, each padded to 8 bytes).
std::string twoByTwoBitmap(int32_t height = 2) {
    std::string header = "BM" + littleEndian(70, 4) + littleEndian(0, 4) + littleEndian(54, 4);
    header += littleEndian(40, 4) + littleEndian(2, 4) + littleEndian(uint32_t(height), 4);
    header += littleEndian(1, 2) + littleEndian(24, 2) + littleEndian(0, 4) + littleEndian(16, 4);
    header += std::string(16, '\0');
    std::string bottom = std::string("\xff\0\0\xff\xff\xff", 6) + std::string(2, '\0');
    std::string top = std::string("\0\0\xff\0\xff\0", 6) + std::string(2, '\0');
    return header + bottom + top;
}

TEST(BitmapFile, WindowsBitmapRowsComeBottomUp) {
    auto image = readImageFile(scratchFile("vemlor-test.bmp", twoByTwoBitmap()));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->at(0, 0), 0xff0000u);
    EXPECT_EQ(image->at(1, 0), 0x00ff00u);
    EXPECT_EQ(image->at(0, 1), 0x0000ffu);
    EXPECT_EQ(image->at(1, 1), 0xffffffu);
}

TEST(BitmapFile, BinaryPixmapScalesItsLevels) {
    std::string bytes = "P6\n# two pixels\n2 1\n15\n" + std::string("\x0f\0\0\0\x0f\x05", 6);
    auto image = readImageFile(scratchFile("vemlor-test.ppm", bytes));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0, 0), 0xff0000u);
    EXPECT_EQ(image->at(1, 0), 0x00ff55u);
}

TEST(BitmapFile, DamagedFilesAreRefused) {
    std::string cut = twoByTwoBitmap().substr(0, 62);
    EXPECT_FALSE(readImageFile(scratchFile("vemlor-cut.bmp", cut)));
    std::string huge = twoByTwoBitmap(20000);
    EXPECT_FALSE(readImageFile(scratchFile("vemlor-huge.bmp", huge)));
    EXPECT_FALSE(readImageFile(scratchFile("vemlor-short.ppm", "P6 100 100 255\n\x01\x02")));
    EXPECT_FALSE(readImageFile(scratchFile("vemlor-levels.ppm", "P3 1 1 255 300 0 0")));
    EXPECT_FALSE(readImageFile(scratchFile("vemlor-text.bmp", "hello")));
    EXPECT_FALSE(readImageFile("/nonexistent/picture.bmp"));
}

} // namespace
} // namespace vemlor
