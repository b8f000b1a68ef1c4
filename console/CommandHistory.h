// The command history: a ring of at most 60 typed lines with a prefix walk for
// the Up and Down keys, and its file "vemlor_comm.bin".
//
// Invariants: entries() is never empty (a new history holds one empty entry);
// while the ring is not full the write index equals the number of entries,
// afterwards it is the slot of the oldest entry, the next to be overwritten.
// Until a walk has stepped onto an entry it sits past the newest entry, where
// Down finds nothing.
#pragma once

#include <string>
#include <vector>

namespace vemlor {

class CommandHistory {
  public:
    static constexpr int kCapacity = 60;
    static constexpr int kSavedEntries = 30;

    CommandHistory();

    // Stores a line unless it equals the entry added last; ends any walk.
    void add(const std::string& line);

    // The Up key: a walk starts from the newest entry with `currentLine` as its
    // prefix unless the previous key was Up or Down. Returns the previous entry
    // beginning with the prefix, or an empty text when none does (the input
    // line then stays as it is).
    std::string up(const std::string& currentLine, bool previousKeyWasUpDown);
    // The Down key: the next newer entry beginning with the prefix, or an empty
    // text once the newest entry has been passed.
    std::string down();

    // The two steps of a walk, for callers that track the keys themselves.
    void startWalk(const std::string& prefix);
    std::string previous();
    std::string next();

    // The ring as stored (slot order, the empty first entry included).
    const std::vector<std::string>& entries() const { return entries_; }
    // Non-empty entries from the oldest to the newest.
    std::vector<std::string> inOrder() const;

    // Adds the entries of a history file as `add` would; true when the file
    // was read to its end. A missing or short file keeps what could be read.
    bool load(const std::string& path);
    // Writes the newest (at most 30) entries, oldest first, replacing the file
    // only once it is complete.
    bool save(const std::string& path) const;

  private:
    bool full() const { return int(entries_.size()) == kCapacity; }
    bool matches(const std::string& entry) const;
    int oldestSlot() const { return full() ? write_ : 0; }

    std::vector<std::string> entries_;
    int write_ = 1;
    int browse_ = 1;
    bool browsing_ = false; // the walk stands on entry browse_
    int lastAdded_ = 0;
    std::string prefix_;
};

} // namespace vemlor
