#include "store/number_reading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace pyra {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the run of digits starting at pos.
size_t DigitRun(std::string_view s, size_t pos) {
  size_t n = 0;
  while (pos + n < s.size() && IsDigit(s[pos + n])) ++n;
  return n;
}

}  // namespace

double ReadNumber(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const size_t start = pos;
  const size_t whole = DigitRun(text, pos);
  pos += whole;
  size_t fraction = 0;
  if (pos < text.size() && text[pos] == '.') {
    fraction = DigitRun(text, pos + 1);
    // A point counts only together with a digit on one of its sides ("5." and ".5", not ".").
    if (whole > 0 || fraction > 0) pos += 1 + fraction;
  }
  if (whole == 0 && fraction == 0) return 0.0;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    size_t p = pos + 1;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
    const size_t digits = DigitRun(text, p);
    if (digits > 0) pos = p + digits;  // "1e" and "1e+" stop before the e
  }

  // from_chars takes neither a sign nor a leading '+', and is independent of the locale.
  const std::string_view number = text.substr(start, pos - start);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                            std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Overflow or underflow: tell them apart by the exponent's sign.
    const size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (error != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double down = std::floor(value);
  const double rest = value - down;
  if (rest < 0.5) return down;
  if (rest > 0.5) return down + 1.0;
  return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

std::optional<int16_t> ToInt16(double value) {
  const double r = RoundHalfEven(value);
  if (!(r >= -32768.0 && r <= 32767.0)) return std::nullopt;  // also rejects NaN
  return static_cast<int16_t>(r);
}

std::optional<int16_t> ReadInteger16(std::string_view text) { return ToInt16(ReadNumber(text)); }

double ReadWholeNumber(std::string_view text) { return RoundHalfEven(ReadNumber(text)); }

}  // namespace pyra
