#include "core/BinaryIO.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vemlor {

int32_t BinaryReader::readInt32() {
    unsigned char bytes[4];
    readBytes(bytes, 4);
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24);
}

double BinaryReader::readDouble() {
    unsigned char bytes[8];
    readBytes(bytes, 8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | bytes[i];
    double x;
    std::memcpy(&x, &bits, 8);
    return x;
}

std::string BinaryReader::readString() {
    int32_t length = readInt32();
    if (length < 0 || length > kMaxStoredStringLength) return {};
    std::string text(size_t(length) + 1, '\0');
    readBytes(text.data(), text.size());
    text.pop_back();
    return text;
}

void BinaryReader::readBytes(void* into, size_t count) {
    if (count && std::fread(into, 1, count, file_) != count) throw TruncatedFile();
    bytesRead_ += count;
}

bool BinaryReader::atEnd() {
    int c = std::fgetc(file_);
    if (c == EOF) return true;
    std::ungetc(c, file_);
    return false;
}

uint64_t BinaryReader::remainingBytes() {
    if (available_ == -2) available_ = measureAvailable();
    if (available_ < 0) return UINT64_MAX;
    return uint64_t(available_) > bytesRead_ ? uint64_t(available_) - bytesRead_ : 0;
}

int64_t BinaryReader::measureAvailable() {
    long position = std::ftell(file_);
    if (position < 0 || std::fseek(file_, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file_);
    if (std::fseek(file_, position, SEEK_SET) != 0 || size < 0) return -1;
    return int64_t(size) - int64_t(position) + int64_t(bytesRead_);
}

void BinaryWriter::writeInt32(int32_t x) {
    uint32_t bits = uint32_t(x);
    unsigned char bytes[4] = {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16),
                              uint8_t(bits >> 24)};
    writeBytes(bytes, 4);
}

void BinaryWriter::writeDouble(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, 8);
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = uint8_t(bits >> (8 * i));
    writeBytes(bytes, 8);
}

void BinaryWriter::writeString(const std::string& text) {
    writeInt32(int32_t(text.size()));
    writeBytes(text.c_str(), text.size() + 1);
}

void BinaryWriter::writeBytes(const void* from, size_t count) {
    if (count && std::fwrite(from, 1, count, file_) != count) failed_ = true;
}

bool writeFileAtomically(const std::string& path, const std::function<bool(BinaryWriter&)>& write) {
    std::string temporary = path + ".tmp" + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    BinaryWriter writer(file);
    bool ok = false;
    try {
        ok = write(writer);
    } catch (...) {
        std::fclose(file);
        std::remove(temporary.c_str());
        throw;
    }
    // The first failure is the one to report; the clean-up must not hide it.
    int error = 0;
    auto failed = [&error] {
        if (error == 0) error = errno != 0 ? errno : EIO;
        return false;
    };
    ok = ok && (!writer.failed() || failed());
    ok = ok && (std::fflush(file) == 0 || failed()) && (::fsync(fileno(file)) == 0 || failed());
    ok = (std::fclose(file) == 0 || failed()) && ok;
    if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0 || failed();
    if (!ok) {
        std::remove(temporary.c_str());
        errno = error;
    }
    return ok;
}

} // namespace vemlor
