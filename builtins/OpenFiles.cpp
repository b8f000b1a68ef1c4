#include "builtins/OpenFiles.h"

#include "core/Errors.h"

namespace vemlor {

int OpenFiles::nextId(std::string_view command) const {
    for (int id = 1; id < highWater_; ++id)
        if (!streams_[id]) return id;
    check(highWater_ <= kMaxId, command, "max number of files already open");
    return highWater_;
}

void OpenFiles::store(int id, std::FILE* stream, Mode mode) {
    if (id < 1 || id > kMaxId || streams_[id]) raiseBug("BUG: file stored in a taken slot");
    streams_[id] = stream;
    modes_[id] = mode;
    if (id == highWater_) ++highWater_;
}

int OpenFiles::checkedId(double id, std::string_view command) const {
    check(id >= 0 && id <= kMaxId, command, "illegal file id");
    int slot = int(id);
    check(slot < highWater_ && streams_[slot], command, "file not open");
    return slot;
}

void OpenFiles::close(int id) {
    if (!streams_[id]) return;
    std::fclose(streams_[id]);
    streams_[id] = nullptr;
    if (id == highWater_ - 1) --highWater_;
}

void OpenFiles::closeAll() {
    for (std::FILE*& stream : streams_) {
        if (stream) std::fclose(stream);
        stream = nullptr;
    }
    highWater_ = 1;
}

} // namespace vemlor
