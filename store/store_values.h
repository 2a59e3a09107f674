// The operations through which the program reads and writes its store, all under the
// application "Pyra3".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/settings_store.h"

namespace pyra {

// The section that holds the settings and the player list.
inline constexpr const char* MainSection = StoreApplication;

// A value longer than this many characters is read as its beginning.
inline constexpr size_t StoreTextLimit = 255;

// A stored text as the program reads it: cut to its first 255 characters (Unicode code points
// of the UTF-8 text, never inside one), then trailing spaces removed.
std::string StoreText(std::string_view raw);

// The value under (section, key) as StoreText, or def when that is empty.
std::string ReadStoreValue(SettingsStore& store, const std::string& section, const std::string& key,
                           const std::string& def);
std::string ReadSetting(SettingsStore& store, const std::string& key, const std::string& def);
// def when the value is empty, otherwise the number read from it; nothing when that number is
// outside -32768..32767.
std::optional<int16_t> ReadNumberSetting(SettingsStore& store, const std::string& key, int16_t def);

bool WriteStoreValue(SettingsStore& store, const std::string& section, const std::string& key,
                     const std::string& value);
bool WriteSetting(SettingsStore& store, const std::string& key, const std::string& value);
bool DeleteStoreKey(SettingsStore& store, const std::string& section, const std::string& key);
bool DeleteStoreSection(SettingsStore& store, const std::string& section);

}  // namespace pyra
