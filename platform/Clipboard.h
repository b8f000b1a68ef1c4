// Clipboard text, as the console's copy, paste and "run clipboard" use it.
#pragma once

#include <string>

namespace vemlor {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

} // namespace vemlor
