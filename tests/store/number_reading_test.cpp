#include "store/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pyra {
namespace {

// Each text with what it reads as, or "fails".
void ExpectReads(const std::vector<std::pair<const char*, const char*>>& cases) {
  for (const auto& [text, expected] : cases) {
    const std::optional<int16_t> read = ReadInteger16(text);
    EXPECT_EQ(read ? std::to_string(*read) : "fails", expected) << "text: \"" << text << "\"";
  }
}

TEST(NumberReading, SixteenBitTable) {
  // Blanks and one sign, then the longest number; the rest is ignored, no number reads 0.
  ExpectReads({
      {"abc", "0"},    {" 12", "12"},  {"  +7x", "7"}, {"", "0"},       {"   ", "0"},
      {"--1", "0"},    {"+-1", "0"},   {"-", "0"},     {".", "0"},      {"\t\n 42", "42"},
      {"12 34", "12"}, {"1,000", "1"}, {"0x1F", "0"},  {"007", "7"},    {"-0", "0"},
      {"inf", "0"},    {"nan", "0"},   {"１２", "0"},  {"12abc", "12"},
  });
  // Fractions round half to even.
  ExpectReads({
      {"-3.5", "-4"},
      {"2.5", "2"},
      {"3.5", "4"},
      {"-2.5", "-2"},
      {"0.5", "0"},
      {"1.5", "2"},
      {"2.4999", "2"},
      {"2.5001", "3"},
      {".5", "0"},
      {".51", "1"},
      {"5.", "5"},
      {"-.5", "0"},
      {"-.6", "-1"},
  });
  // Exponents.
  ExpectReads({
      {"1e3", "1000"},
      {"1E3", "1000"},
      {"1e", "1"},
      {"1e+", "1"},
      {"2e-", "2"},
      {"1e2e3", "100"},
      {"1e-3", "0"},
      {"25e-1", "2"},
      {"+.5e1", "5"},
      {"9.99999e2", "1000"},
      {"0.0000000000000000000001", "0"},
      {"1e-999", "0"},
  });
  // The 16-bit range, after rounding.
  ExpectReads({
      {"40000", "fails"},
      {"32768", "fails"},
      {"-32769", "fails"},
      {"32767.4", "32767"},
      {"32767.5", "fails"},
      {"-32768.5", "-32768"},
      {"-32768.6", "fails"},
      {"3.2767e4", "32767"},
      {"3.2768e4", "fails"},
      {"1e999", "fails"},
      {"-1e999", "fails"},
  });
}

TEST(NumberReading, WholeNumbersHaveNo16BitLimit) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"40000", 40000},
      {"32768", 32768},
      {"2147483648", 2147483648.0},
      {"123456789012", 123456789012.0},
      {"-70000.5", -70000},
      {"70001.5", 70002},
      {"abc", 0},
      {"1e10", 1e10},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadWholeNumber(c.text), c.expected) << c.text;
  EXPECT_TRUE(std::isinf(ReadWholeNumber("1e400")));
  EXPECT_LT(ReadWholeNumber("-1e400"), 0);
}

TEST(NumberReading, RoundHalfEvenAtEveryHalf) {
  for (int i = -40; i <= 40; ++i) {
    const double half = i + 0.5;
    const double expected = (i % 2 == 0) ? i : i + 1;  // the even one of i and i + 1
    EXPECT_EQ(RoundHalfEven(half), expected) << half;
    EXPECT_EQ(RoundHalfEven(i + 0.49), i) << i;
    EXPECT_EQ(RoundHalfEven(i + 0.51), i + 1) << i;
  }
}

TEST(NumberReading, EveryIntegerDigitStringReadsBackAsItself) {
  for (int v = -32768; v <= 32767; ++v) {
    const std::optional<int16_t> read = ReadInteger16(std::to_string(v));
    ASSERT_TRUE(read.has_value()) << v;
    ASSERT_EQ(*read, v);
  }
}

}  // namespace
}  // namespace pyra
