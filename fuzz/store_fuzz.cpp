// libFuzzer target for the store's text handling: number reading, the 255-character cut and
// the round trip of any text through the SQLite store.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "store/number_reading.h"
#include "store/settings_store.h"
#include "store/store_values.h"

using namespace pyra;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "store_fuzz: %s (input of %zu bytes)\n", what, text.size());
  std::abort();
}

SettingsStore& Store() {
  static SqliteSettingsStore store(":memory:");
  return store;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

void CheckNumbers(const std::string& text, const uint8_t* data, size_t size) {
  const double number = ReadNumber(text);
  const std::optional<int16_t> small = ReadInteger16(text);
  const double rounded = RoundHalfEven(number);
  const bool inRange = rounded >= -32768.0 && rounded <= 32767.0;
  if (small.has_value() != inRange) Fail("16-bit read fails exactly outside the range", text);
  if (small && *small != rounded) Fail("16-bit read is the rounded number", text);
  if (std::isnan(number)) Fail("a number is never NaN", text);
  const double whole = ReadWholeNumber(text);
  if (!(whole == rounded)) Fail("whole-number read is the rounded number", text);

  if (size < 2) return;
  const auto value = static_cast<int16_t>(static_cast<uint16_t>(data[0] | (data[1] << 8)));
  const std::string digits = std::to_string(value);
  const std::string forms[] = {digits,        " \t" + digits, digits + "x",
                               digits + ".0", digits + "e0",  digits + " " + text};
  for (const std::string& form : forms) {
    if (ReadInteger16(form) != value) Fail("a 16-bit digit string reads back as itself", form);
  }
}

void CheckStoreText(const std::string& text) {
  const std::string cut = StoreText(text);
  if (text.compare(0, cut.size(), cut) != 0) Fail("the read text begins the stored text", text);
  if (!cut.empty() && cut.back() == ' ') Fail("no trailing space is left", text);
  size_t characters = 0;
  for (char c : cut) characters += IsContinuationByte(c) ? 0 : 1;
  if (characters > StoreTextLimit) Fail("at most 255 characters", text);
  if (cut.size() < text.size() && IsContinuationByte(text[cut.size()])) {
    Fail("never cut inside a character", text);
  }
}

void CheckRoundTrip(const std::string& text) {
  // Section and key come from the input too: no name may reach outside its own row.
  const std::string section = text.substr(0, text.size() / 3);
  const std::string key = text.substr(text.size() / 3, text.size() / 3);
  SettingsStore& store = Store();
  if (!store.Write(section, key, text)) Fail("write", text);
  if (!store.Write("fixed", "row", "kept")) Fail("write of the fixed row", text);
  if (store.Read(section, key) != text) Fail("the value reads back byte for byte", text);
  const std::string expected = StoreText(text);
  const std::string read = ReadStoreValue(store, section, key, "<default>");
  if (read != (expected.empty() ? "<default>" : expected)) Fail("ReadStoreValue", text);
  if (!store.DeleteKey(section, key)) Fail("delete", text);
  if (store.Read(section, key).has_value()) Fail("a deleted value is gone", text);
  if (store.Read("fixed", "row") != "kept" && !(section == "fixed" && key == "row")) {
    Fail("another row is untouched", text);
  }
  if (!store.DeleteSection(section)) Fail("delete section", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckNumbers(text, data, size);
  CheckStoreText(text);
  CheckRoundTrip(text);
  return 0;
}
