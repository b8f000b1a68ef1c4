// Where value display and warnings write: the console output store
// implements this, tests may capture it. Keeping the interface here lets the
// value layer print without knowing the console.
#pragma once

#include <string_view>

namespace vemlor {

enum PrintMode : int {
    PRINT_LITERAL = 0, // shown as it stands; markup characters get the "{;" prefix
    PRINT_MARKUP = 1,  // markup text, may hold newlines
    PRINT_RAW = 2,     // literal with the "{:" prefix
};

class OutputSink {
  public:
    virtual ~OutputSink() = default;
    // With newLine set, a non-empty current line is ended first and the line
    // is ended after the text as well.
    virtual void print(std::string_view text, bool newLine = true, int mode = PRINT_MARKUP) = 0;
    // Separator shown between list items (';', ',' or 0); returns the previous one.
    virtual char setItemSeparator(char separator) = 0;
};

} // namespace vemlor
