// Numbers kept in the store are text; this reads them the way the program always has:
// the longest number at the start of the text, rounded half to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pyra {

// The number at the start of the text: leading blanks, an optional sign, digits with an
// optional fraction, an optional exponent. Reading stops at the first character that
// cannot continue the number; a text that does not begin with a number reads as 0.
// A number too large for a double reads as an infinity of its sign.
double ReadNumber(std::string_view text);

// Nearest whole number, exact halves to the even neighbour.
double RoundHalfEven(double value);

// A value rounded to a 16-bit integer; nothing when it falls outside -32768..32767.
std::optional<int16_t> ToInt16(double value);

// ReadNumber rounded to a 16-bit integer; nothing when out of range.
std::optional<int16_t> ReadInteger16(std::string_view text);

// ReadNumber rounded to a whole number, without the 16-bit limit.
double ReadWholeNumber(std::string_view text);

}  // namespace pyra
