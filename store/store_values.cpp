#include "store/store_values.h"

#include "store/number_reading.h"

namespace pyra {

std::string StoreText(std::string_view raw) {
  // Every byte that is not a UTF-8 continuation byte starts a character.
  size_t characters = 0;
  size_t end = 0;
  for (; end < raw.size(); ++end) {
    const auto byte = static_cast<unsigned char>(raw[end]);
    if ((byte & 0xC0) != 0x80 && ++characters > StoreTextLimit) break;
  }
  std::string_view text = raw.substr(0, end);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

std::string ReadStoreValue(SettingsStore& store, const std::string& section, const std::string& key,
                           const std::string& def) {
  const std::optional<std::string> raw = store.Read(section, key);
  std::string text = raw ? StoreText(*raw) : std::string();
  return text.empty() ? def : text;
}

std::string ReadSetting(SettingsStore& store, const std::string& key, const std::string& def) {
  return ReadStoreValue(store, MainSection, key, def);
}

std::optional<int16_t> ReadNumberSetting(SettingsStore& store, const std::string& key,
                                         int16_t def) {
  const std::string text = ReadSetting(store, key, "");
  if (text.empty()) return def;
  return ReadInteger16(text);
}

bool WriteStoreValue(SettingsStore& store, const std::string& section, const std::string& key,
                     const std::string& value) {
  return store.Write(section, key, value);
}

bool WriteSetting(SettingsStore& store, const std::string& key, const std::string& value) {
  return WriteStoreValue(store, MainSection, key, value);
}

bool DeleteStoreKey(SettingsStore& store, const std::string& section, const std::string& key) {
  return store.DeleteKey(section, key);
}

bool DeleteStoreSection(SettingsStore& store, const std::string& section) {
  return store.DeleteSection(section);
}

}  // namespace pyra
