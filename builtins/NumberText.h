// The test of whether a text reads as a number, shared by `isnum` and
// `str2num` so that the two always agree.
#pragma once

#include <string_view>

namespace vemlor {

// Decimal numbers: optional blanks, an optional sign, digits with an
// optional fraction (at least one digit in all), an optional exponent
// ("e" or "E", optional sign, digits), optional blanks. Nothing else.
bool isDecimalNumberText(std::string_view text);

} // namespace vemlor
