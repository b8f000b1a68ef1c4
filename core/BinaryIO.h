// Little-endian binary records shared by the state files: 32-bit integers and
// length-prefixed strings (a 32-bit length n, n bytes, one zero byte).
//
// Readers throw TruncatedFile at an end of file inside a record; the reader of
// each file catches it and keeps what it had read. A length above 100001 reads
// as an empty string (its bytes are not consumed, as the format prescribes).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace vemlor {

struct TruncatedFile : std::runtime_error {
    TruncatedFile() : std::runtime_error("unexpected end of file") {}
};

constexpr int32_t kMaxStoredStringLength = 100001;

class BinaryReader {
  public:
    explicit BinaryReader(std::FILE* file) : file_(file) {}
    int32_t readInt32();
    double readDouble();
    std::string readString();
    void readBytes(void* into, size_t count);
    bool atEnd();
    // Bytes left before the end of the file, or UINT64_MAX when the stream
    // cannot tell. A record claiming more than this is damaged.
    uint64_t remainingBytes();

  private:
    int64_t measureAvailable();

    std::FILE* file_;
    uint64_t bytesRead_ = 0;
    // Bytes the file held beyond this reader's start; measured on first need.
    int64_t available_ = -2;
};

class BinaryWriter {
  public:
    explicit BinaryWriter(std::FILE* file) : file_(file) {}
    void writeInt32(int32_t x);
    void writeDouble(double x);
    void writeString(const std::string& text);
    void writeBytes(const void* from, size_t count);
    bool failed() const { return failed_; }

  private:
    std::FILE* file_;
    bool failed_ = false;
};

// Writes a file through a temporary next to it that is renamed into place only
// when everything was written, so a crash or a full disk leaves the old file.
// `write` returns false (or throws) to abandon the new file. On false, errno
// says why the file could not be written.
bool writeFileAtomically(const std::string& path, const std::function<bool(BinaryWriter&)>& write);

} // namespace vemlor
