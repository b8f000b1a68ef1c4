// The history ring and its file. Walks compare by prefix: an entry matches
// when it is at least as long as the prefix and begins with it, so an empty
// prefix matches every entry, the empty first entry included (which leaves
// the input line as it is).
#include "console/CommandHistory.h"

#include "core/BinaryIO.h"

#include <algorithm>
#include <cstdio>

namespace vemlor {

CommandHistory::CommandHistory() : entries_(1) {}

void CommandHistory::add(const std::string& line) {
    if (!entries_.empty() && entries_[size_t(lastAdded_)] == line) return;
    int slot = write_;
    if (full()) {
        entries_[size_t(slot)] = line;
    } else {
        slot = int(entries_.size());
        entries_.push_back(line);
    }
    lastAdded_ = slot;
    write_ = browse_ = (slot + 1) % kCapacity;
    browsing_ = false;
}

bool CommandHistory::matches(const std::string& entry) const {
    return entry.size() >= prefix_.size() && entry.compare(0, prefix_.size(), prefix_) == 0;
}

void CommandHistory::startWalk(const std::string& prefix) {
    prefix_ = prefix;
    browse_ = write_;
    browsing_ = false;
}

std::string CommandHistory::up(const std::string& currentLine, bool previousKeyWasUpDown) {
    if (!previousKeyWasUpDown) startWalk(currentLine);
    return previous();
}

std::string CommandHistory::down() {
    return next();
}

std::string CommandHistory::previous() {
    int size = int(entries_.size());
    int slot = browsing_ ? browse_ : write_;
    for (int step = 0; step < kCapacity; ++step) {
        slot = (slot == 0 ? size : slot) - 1;
        if (matches(entries_[size_t(slot)])) {
            browse_ = slot;
            browsing_ = true;
            return entries_[size_t(slot)];
        }
    }
    return {};
}

std::string CommandHistory::next() {
    if (!browsing_) return {};
    int size = int(entries_.size());
    for (int slot = browse_ + 1;; ++slot) {
        if (full()) slot %= kCapacity;
        if (slot == write_ || slot >= size) return {};
        if (matches(entries_[size_t(slot)])) {
            browse_ = slot;
            return entries_[size_t(slot)];
        }
    }
}

std::vector<std::string> CommandHistory::inOrder() const {
    std::vector<std::string> ordered;
    size_t size = entries_.size();
    for (size_t k = 0; k < size; ++k) {
        const std::string& entry = entries_[(size_t(oldestSlot()) + k) % size];
        if (!entry.empty()) ordered.push_back(entry);
    }
    return ordered;
}

bool CommandHistory::load(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    BinaryReader reader(file);
    bool complete = true;
    try {
        int32_t count = reader.readInt32();
        for (int32_t i = 0; i < count; ++i)
            add(reader.readString());
    } catch (const TruncatedFile&) {
        complete = false;
    }
    std::fclose(file);
    return complete;
}

bool CommandHistory::save(const std::string& path) const {
    int size = int(entries_.size());
    int count = std::min(size, kSavedEntries);
    int first = size >= kSavedEntries ? (write_ - kSavedEntries + kCapacity) % kCapacity : 0;
    return writeFileAtomically(path, [&](BinaryWriter& writer) {
        writer.writeInt32(count);
        for (int k = 0; k < count; ++k)
            writer.writeString(entries_[size_t((first + k) % size)]);
        return true;
    });
}

} // namespace vemlor
