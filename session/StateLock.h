// Which session owns a state folder. The primary session takes an advisory
// lock on a file there for as long as it runs; a second session started on
// the same folder finds it taken and runs as a secondary instance, so that
// neither overwrites the other's state files. The lock goes with the
// process, however it ends.
#pragma once

#include <string>

namespace vemlor {

class StateLock {
  public:
    // Tries to take the lock of `directory`, without waiting.
    explicit StateLock(const std::string& directory);
    ~StateLock();
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

    // Whether another session holds the folder. A folder where no lock file
    // can be made has no other session to defer to.
    bool heldElsewhere() const { return heldElsewhere_; }

  private:
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

} // namespace vemlor
