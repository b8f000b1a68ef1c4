// The open-file table of one interpreter: the streams that `fopen` hands to
// scripts as ids 1 to 10, with the mode each was opened in.
//
// Slot 0 is never used. The high-water mark is one more than the highest
// slot filled; closing the top slot lowers it by one, so a new file takes the
// lowest free slot below the mark, or the mark itself. Every stream still
// open is closed when the table goes (the interpreter's shut-down).
#pragma once

#include <cstdio>
#include <string_view>

namespace vemlor {

class OpenFiles {
  public:
    static constexpr int kMaxId = 10;
    enum class Mode { BinaryRead = 0, TextRead = 1, BinaryWrite = 2, TextWrite = 3 };

    OpenFiles() = default;
    OpenFiles(const OpenFiles&) = delete;
    OpenFiles& operator=(const OpenFiles&) = delete;
    ~OpenFiles() { closeAll(); }

    // The id the next file will get; raises "max number of files already
    // open" when all ten are taken.
    int nextId(std::string_view command) const;
    // Claims the id nextId() gave for an open stream.
    void store(int id, std::FILE* stream, Mode mode);
    // The id as a slot number after the checks every command makes:
    // "illegal file id" outside 0..10, "file not open" for an empty slot.
    int checkedId(double id, std::string_view command) const;
    std::FILE* stream(int id) const { return streams_[id]; }
    Mode mode(int id) const { return modes_[id]; }
    void close(int id);
    void closeAll();

  private:
    std::FILE* streams_[kMaxId + 1] = {};
    Mode modes_[kMaxId + 1] = {};
    int highWater_ = 1;
};

} // namespace vemlor
