// Clipboard text. The desktop backend uses the system clipboard; the
// headless one keeps the text in memory for the life of the process.
#pragma once

#include <string>

namespace vemlor {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

class MemoryClipboard : public Clipboard {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

} // namespace vemlor
