#include "session/StateLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vemlor {

namespace {

// Hidden, so that a listing of the folder shows the state files alone.
constexpr const char* kLockFile = ".vemlor.lock";

} // namespace

StateLock::StateLock(const std::string& directory) {
    std::string path = directory + "/" + kLockFile;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return;
    heldElsewhere_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
}

StateLock::~StateLock() {
    if (fd_ >= 0) ::close(fd_); // closing releases the lock
}

} // namespace vemlor
